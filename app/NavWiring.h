#pragma once
// Puts the navigation pages on the host window: the factories of page types 2 to 8 and the
// strips (tab bar, search bar) that follow the host's page switches.
#include <memory>

#include "app/BaseWnd.h"
#include "nav/NavStrips.h"

// The strips live as long as the host's window; the owner drops them before destroying it.
std::unique_ptr<CNavStrips> InstallNavigation(CBaseWnd& host);
