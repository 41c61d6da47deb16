#pragma once

// What the web panel does with the events of the system's browser control
// (DWebBrowserEvents2), as a function of each event's arguments and of the
// user's last act in the panel, so that it can be tried with the arguments
// built as the control builds them.

#include <QString>
#include <QUrl>

// clang-format off
#include <windows.h>
#include <oaidl.h>
// clang-format on

#include "ui/web/panel_note.h"

namespace trelvik {

// An event's arguments, which come last to first; by reference
// (VT_BYREF|VT_VARIANT) where the control reads back what the handler sets.
const VARIANT* EventArgument(const DISPPARAMS* params, UINT fromLast);
QString StringArgument(const DISPPARAMS* params, UINT fromLast);
// VT_I4, or a reference to one; 0 where the argument is missing or other.
LONG LongArgument(const DISPPARAMS* params, UINT fromLast);
IUnknown* ObjectArgument(const DISPPARAMS* params, UINT fromLast);
// Sets a VARIANT_BOOL argument passed by reference, such as Cancel.
void SetTrueArgument(DISPPARAMS* params, UINT fromLast);
// Whether two interface pointers are the same COM object.
bool SameObject(IUnknown* a, IUnknown* b);

// The panel's answer to one event of the control.
struct ControlEventAnswer {
  QUrl openOutside;      // the desktop's browser opens this; empty for none
  bool usesAct = false;  // the user's act has been answered
};

// `browser`: the control itself, whose top frame the panel's page is.
// `startPageShown`: the start page has come in once; until then, every move
// is the start page's own loading and its redirects. `userActed`: the user
// clicked or pressed Enter in the panel just now, and no move has answered
// it yet. Events other than BeforeNavigate2 and NewWindow3 get no answer.
ControlEventAnswer AnswerControlEvent(DISPID id, DISPPARAMS* params, IUnknown* browser,
                                      bool startPageShown, bool userActed);

// The status of the control's NavigateError event, a VT_I4: one of URL
// Moniker's INET_E_ codes (negative as a LONG), or the site's HTTP status.
// `online` says whether Windows sees any network connection at all.
PanelTrouble TroubleFromNavigateError(LONG status, bool online);

}  // namespace trelvik
