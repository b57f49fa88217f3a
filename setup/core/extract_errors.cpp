#include "setup/core/extract_errors.h"

const char* ExtractErrorMessage(int code) {
  switch (code) {
    case 0: return "Success";
    case 1: return "Cabinet file (or part of splitted CAB) not found";
    case 2: return "The file is not a cabinet";
    case 3: return "Unknown cabinet version";
    case 4: return "Corrupt cabinet";
    case 5: return "Memory allocation failed";
    case 6: return "Unknown compression type";
    case 7: return "Failure decompressing data";
    case 8: return "Failure writing to target file";
    case 9: return "Cabinets in set have different RESERVE sizes";
    case 10: return "Cabinet returned on fdintNEXT_CABINET is incorrect";
    case 11: return "User aborted";
    case 1000: return "Could not load Cabinet.dll";
    case 1001: return "Could not load Wininet.dll";
    case 1002: return "Invalid parameters passed to extraction function. Read the documentation!";
    case 1003: return "Could not read CAB file";
    case 1004: return "The specified resource could not be opened.";
    case 1005:
      return "The path is too long. (Max 250 Ansii characters or approx 100 Unicode characters).";
    case 1006: return "An internet error occurred.";
    case 1007: return "The CAB archive is not encrypted but a decryption key was set.";
    case 1008: return "The CAB archive is encrypted but no decryption key was set.";
    case 1009: return "Invalid CAB file: Extracted file is longer than declared in fdintCOPY_FILE";
    case 1010: return "Internet Explorer is switched to Offline mode.";
    case 1011:
      return "Cabinet.dll does not support calling the same CAB context from two different threads.";
    case 1012:
      return "There must be only one CExtract instance per thread at the same time! Call CleanUp() "
             "before you use another instance in the same thread!";
    case 1013: return "The CAB archive holds a file name that points outside the target folder.";
    default: return "Unknown error";
  }
}
