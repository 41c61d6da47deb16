#pragma once

#include <cstdlib>

#include "ui/web/panel_note.h"

namespace trelvik {

// Chromium's network error numbers (negative, as Qt WebEngine reports them;
// either sign is taken) for a failed load that got no answer from the site.
inline PanelTrouble TroubleFromNetError(int error) {
  switch (std::abs(error)) {
    case 106:  // ERR_INTERNET_DISCONNECTED
    case 137:  // ERR_NAME_RESOLUTION_FAILED: no name server could be asked
      return PanelTrouble::Offline;
    case 105:  // ERR_NAME_NOT_RESOLVED
      return PanelTrouble::HostNotFound;
    default:
      return PanelTrouble::SiteNotAnswering;
  }
}

}  // namespace trelvik
