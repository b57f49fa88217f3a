#pragma once
// The data a drag from the desk carries: the files as one CF_HDROP block, and whatever else
// is stored on it while the drag runs. The shell's drag-image helper keeps its picture on
// the data object through SetData, in formats of its own, and the drop target's helper
// reads them back, so the object must take and give any format.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

// A data object holding the CF_HDROP block of `paths`; null when memory runs out. The caller
// owns the one reference.
IDataObject* DeskCreateFileDataObject(const std::vector<std::u16string>& paths);
