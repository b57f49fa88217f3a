#pragma once
// The extraction engine's error codes and their texts. Codes 0 to 11 are the cabinet
// decompressor's own numbers; 1000 and above are the engine's.
enum ExtractError {
  kExtractSuccess = 0,
  kExtractNotACabinet = 2,
  kExtractTargetFile = 8,
  kExtractUserAbort = 11,
  kExtractNoCabinetDll = 1000,
  kExtractBadParameters = 1002,
  kExtractReadFailed = 1003,
  kExtractNoResource = 1004,
  kExtractPathTooLong = 1005,
  kExtractKeyButPlain = 1007,
  kExtractEncrypted = 1008,
  kExtractFileTooLong = 1009,
  kExtractOtherThread = 1011,
  kExtractSecondInstance = 1012,
  // Our own: a name in the archive would land outside the target folder.
  kExtractUnsafeName = 1013,
};

// The message of a code; "Unknown error" for a code the table does not hold.
const char* ExtractErrorMessage(int code);
