// Boxes as the saved table sees them: names, their item-file names, and the step between a
// GeziSaveData record and a live box.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "desk/core/desk_records.h"
#include "uilib/core/vx_geom.h"


// List types of a box: icons, or the row list ("列表显示").
constexpr int kDeskBoxIcons = 0;
constexpr int kDeskBoxRows = 2;

struct DeskBox {
  std::u16string name;
  VxRc rect;  // page coordinates
  uint8_t fixedPos = 0;
  int listType = kDeskBoxIcons;
  std::u16string itemFile;  // empty for a box that was never saved
};

// True when Windows accepts the name as one file name: not empty, none of
// \ / : * ? " < > | or a control unit, not a device name (CON, PRN, AUX, NUL, COM0-9,
// LPT0-9, also followed by an extension), and not ending in a dot or a space.
bool DeskIsSafeFileName(const std::u16string& name);
// The first rule of DeskIsSafeFileName a name breaks, in the order listed here.
enum DeskFileNameFault {
  kNameOk,
  kNameEmpty,
  kNameControlUnit,
  kNameForbiddenUnit,
  kNameTrailingDotOrSpace,
  kNameDevice,
};
DeskFileNameFault DeskFileNameFaultOf(const std::u16string& name);

// Item-file name of a box. A safe name without an escape maps to itself, so files written
// before this mapping existed still match; any other name has the offending units (and its
// '%') written as "%XXXX", four hex digits of the UTF-16 unit. Distinct names give names
// that differ even when case is ignored, and DeskBoxNameFromFileName undoes the mapping.
std::u16string DeskBoxFileName(const std::u16string& boxName);

// The box name an item-file name stands for; text that is not a well-formed escape is kept
// as it is.
std::u16string DeskBoxNameFromFileName(const std::u16string& fileName);

// Box name from a saved item-file path: false when the path has no backslash after its
// first unit (such a record gives no box). The text after the last backslash is the name,
// decoded only when it is exactly what DeskBoxFileName makes of another name.
bool DeskBoxNameFromPath(const std::u16string& itemFile, std::u16string* name);

// Boxes of the saved table, bottom-most first, placed on the page; records that give no box
// are left out and do not stop the later ones.
std::vector<DeskBox> DeskBoxesFromTable(const std::vector<GeziSaveData>& table,
                                        const VxRc& page);

// Record of a live box; `dataFolder` ends in a backslash. False when the path is too long
// for the record.
bool DeskBoxToRecord(const DeskBox& box, const VxRc& page, const std::u16string& dataFolder,
                     GeziSaveData* record);

// True when some record of the table names a box called `name`.
bool DeskTableHasBoxName(const std::vector<GeziSaveData>& table, const std::u16string& name);

// `wanted` when no box has it, otherwise the first free "wanted(1)", "wanted(2)", ...
std::u16string DeskUniqueBoxName(const std::u16string& wanted,
                                 const std::vector<std::u16string>& taken);
