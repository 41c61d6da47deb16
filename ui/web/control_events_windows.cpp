#include "ui/web/control_events_windows.h"

// clang-format off
#include <exdispid.h>
#include <shobjidl.h>
// clang-format on

#include <cstdint>

#include "ui/web/panel_moves.h"

namespace trelvik {

const VARIANT* EventArgument(const DISPPARAMS* params, UINT fromLast) {
  if (!params || fromLast >= params->cArgs) return nullptr;
  const VARIANT* argument = &params->rgvarg[fromLast];
  if (argument->vt == (VT_BYREF | VT_VARIANT) && argument->pvarVal) return argument->pvarVal;
  return argument;
}

QString StringArgument(const DISPPARAMS* params, UINT fromLast) {
  const VARIANT* argument = EventArgument(params, fromLast);
  if (!argument) return {};
  if (argument->vt == VT_BSTR && argument->bstrVal) {
    return QString::fromWCharArray(argument->bstrVal, int(SysStringLen(argument->bstrVal)));
  }
  return {};
}

LONG LongArgument(const DISPPARAMS* params, UINT fromLast) {
  const VARIANT* argument = EventArgument(params, fromLast);
  if (!argument) return 0;
  if (argument->vt == VT_I4) return argument->lVal;
  if (argument->vt == (VT_BYREF | VT_I4) && argument->plVal) return *argument->plVal;
  return 0;
}

IUnknown* ObjectArgument(const DISPPARAMS* params, UINT fromLast) {
  const VARIANT* argument = EventArgument(params, fromLast);
  if (!argument) return nullptr;
  if (argument->vt == VT_DISPATCH) return argument->pdispVal;
  if (argument->vt == VT_UNKNOWN) return argument->punkVal;
  return nullptr;
}

void SetTrueArgument(DISPPARAMS* params, UINT fromLast) {
  if (!params || fromLast >= params->cArgs) return;
  VARIANT& argument = params->rgvarg[fromLast];
  if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal) *argument.pboolVal = VARIANT_TRUE;
}

bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return false;
  IUnknown* identityA = nullptr;
  IUnknown* identityB = nullptr;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityA));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityB));
  const bool same = identityA && identityA == identityB;
  if (identityA) identityA->Release();
  if (identityB) identityB->Release();
  return same;
}

ControlEventAnswer AnswerControlEvent(DISPID id, DISPPARAMS* params, IUnknown* browser,
                                      bool startPageShown, bool userActed) {
  ControlEventAnswer answer;
  bool cancel = false;
  switch (id) {
    case DISPID_BEFORENAVIGATE2: {
      // (pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel).
      // The control flags a script's move of the page as a hyperlink too;
      // only the user's act just before makes it the user's.
      const QUrl target(StringArgument(params, 5));
      // Until the start page is in, and in the page's frames, the moves are
      // the page's own loading.
      const bool top = startPageShown && SameObject(ObjectArgument(params, 6), browser);
      const PanelMove move = DecideMove(target, top && userActed, false);
      cancel = move != PanelMove::Stay;
      if (move == PanelMove::OpenOutside) answer.openOutside = target;
      answer.usesAct = top && userActed;
      break;
    }
    case DISPID_NEWWINDOW3: {
      // (ppDisp, Cancel, dwFlags, bstrUrlContext, bstrUrl): never a window
      // of the control's own.
      const QUrl target(StringArgument(params, 0));
      const auto flags = static_cast<DWORD>(LongArgument(params, 2));
      const bool asked = userActed && (flags & (NWMF_USERINITED | NWMF_USERREQUESTED)) != 0;
      cancel = true;
      if (DecideMove(target, asked, true) == PanelMove::OpenOutside) answer.openOutside = target;
      answer.usesAct = asked;
      break;
    }
    default:
      break;
  }
  if (cancel) SetTrueArgument(params, id == DISPID_NEWWINDOW3 ? 3 : 0);
  return answer;
}

PanelTrouble TroubleFromNavigateError(LONG status, bool online) {
  if (!online) return PanelTrouble::Offline;
  // The bits as the control sent them, whatever the width of LONG.
  switch (static_cast<std::uint32_t>(status)) {
    case 0x800C0005U:  // INET_E_RESOURCE_NOT_FOUND: the server's name was not found
      return PanelTrouble::HostNotFound;
    default:
      // INET_E_CANNOT_INSTANTIATE_OBJECT (0x800C0010) included: a control
      // that sends events is there; it could not show what the site sent.
      return PanelTrouble::SiteNotAnswering;
  }
}

}  // namespace trelvik
