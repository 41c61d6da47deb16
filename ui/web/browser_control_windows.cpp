// The web panel's engine on Windows: the system's own web browser control
// ("Shell.Explorer.2"), which every Windows has, hosted in the panel.
//
// Hosted through the AtlAxWin window class of atl.dll, a part of Windows
// since XP: it is the control's client site, in-place frame and window, the
// several COM interfaces a host must otherwise write itself. atl.dll and the
// control's own libraries are loaded only here, after the window's first
// paint; the program imports neither.

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QAction>
#include <QFocusEvent>
#include <QResizeEvent>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <string>
#include <utility>

// clang-format off
#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <oleidl.h>
// clang-format on

#include "runtime/key_hook.h"
#include "ui/web/control_events_windows.h"
#include "ui/web/panel_moves.h"
#include "ui/web/panel_note.h"
#include "ui/web/web_view_module.h"

namespace trelvik {
namespace {

// A function of a library loaded at run time.
template <typename Function>
Function Resolve(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The control plays Windows' navigation click for every page it loads, so
// every start of the program would click: not in this process. Nothing is
// written anywhere.
void MuteNavigationSounds() {
  using Function = HRESULT(WINAPI*)(int, DWORD, BOOL);
  constexpr int kDisableNavigationSounds = 21;  // FEATURE_DISABLE_NAVIGATION_SOUNDS
  constexpr DWORD kForThisProcess = 0x2;        // SET_FEATURE_ON_PROCESS
  HMODULE urlmon = LoadLibraryExW(L"urlmon.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!urlmon) return;
  if (const auto enable = Resolve<Function>(urlmon, "CoInternetSetFeatureEnabled")) {
    enable(kDisableNavigationSounds, kForThisProcess, TRUE);
  }
  // urlmon.dll stays: the control uses it.
}

// Whether Windows sees a network connection at all; asked only once a page
// has failed, so wininet.dll is loaded only then.
bool IsOnline() {
  using Function = BOOL(WINAPI*)(DWORD*, DWORD);
  HMODULE wininet = LoadLibraryExW(L"wininet.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!wininet) return true;  // cannot tell: the site gets the blame
  const auto connected = Resolve<Function>(wininet, "InternetGetConnectedState");
  DWORD flags = 0;
  const bool online = !connected || connected(&flags, 0);
  FreeLibrary(wininet);
  return online;
}

class BrowserControl;

// The control's events (DWebBrowserEvents2), passed on to the panel's view
// for as long as it is there.
class EventSink final : public IDispatch {
 public:
  explicit EventSink(BrowserControl* view) : view_(view) {}
  void detach() { view_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IDispatch || id == DIID_DWebBrowserEvents2) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override;

 private:
  ~EventSink() = default;
  BrowserControl* view_;
  ULONG references_ = 1;
};

// The panel's view: a native child window holding the control, or, once the
// start page has failed, the panel's note in its place.
class BrowserControl final : public QWidget, private QAbstractNativeEventFilter {
  Q_OBJECT
  Q_PROPERTY(QUrl url READ url WRITE setUrl)

 public:
  explicit BrowserControl(QWidget* parent) : QWidget(parent) {
    // The control needs a window of ours to live in; the main window stays
    // as Qt makes it.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setFocusPolicy(Qt::TabFocus);
  }

  ~BrowserControl() override {
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher) dispatcher->removeNativeEventFilter(this);
    if (sink_) {
      if (point_ && cookie_) point_->Unadvise(cookie_);
      sink_->detach();
      sink_->Release();
    }
    if (point_) point_->Release();
    if (browser_) {
      browser_->Stop();
      browser_->Release();
    }
    // The host window releases the control as it goes.
    if (host_) DestroyWindow(host_);
    if (oleStarted_) OleUninitialize();
  }

  // False where Windows has no browser control to give (Server Core, a
  // stripped-down system): the panel then shows its note instead.
  bool start() {
    const HRESULT ole = OleInitialize(nullptr);
    oleStarted_ = SUCCEEDED(ole);
    if (!oleStarted_) return Failed("OLE did not start", ole);
    HMODULE atl = LoadLibraryExW(L"atl.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!atl) return Failed("no atl.dll", HRESULT_FROM_WIN32(GetLastError()));
    using InitFunction = BOOL(WINAPI*)();
    using GetControlFunction = HRESULT(WINAPI*)(HWND, IUnknown**);
    const auto init = Resolve<InitFunction>(atl, "AtlAxWinInit");
    const auto getControl = Resolve<GetControlFunction>(atl, "AtlAxGetControl");
    if (!init || !getControl || !init()) return Failed("atl.dll cannot host controls", E_FAIL);

    MuteNavigationSounds();
    const HWND panel = reinterpret_cast<HWND>(winId());
    RECT area;
    GetClientRect(panel, &area);
    host_ =
        CreateWindowExW(0, L"AtlAxWin", L"Shell.Explorer.2",
                        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0, area.right,
                        area.bottom, panel, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!host_) return Failed("no browser control", HRESULT_FROM_WIN32(GetLastError()));
    IUnknown* control = nullptr;
    HRESULT result = getControl(host_, &control);
    if (FAILED(result) || !control) return Failed("no browser control", result);
    result = control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_));
    control->Release();
    if (FAILED(result) || !browser_) return Failed("the control is no web browser", result);

    // No script-error boxes, and no pages dropped onto the panel.
    browser_->put_Silent(VARIANT_TRUE);
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);

    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IConnectionPointContainer,
                                           reinterpret_cast<void**>(&points)))) {
      points->FindConnectionPoint(DIID_DWebBrowserEvents2, &point_);
      points->Release();
    }
    // Without its events the control would follow links inside the panel
    // and show its own error page: no panel rather than that.
    sink_ = new EventSink(this);
    if (!point_ || FAILED(result = point_->Advise(sink_, &cookie_))) {
      return Failed("the control's events cannot be had", point_ ? result : E_NOINTERFACE);
    }
    QAbstractEventDispatcher::instance()->installNativeEventFilter(this);
    return true;
  }

  QUrl url() const { return url_; }

  void setUrl(const QUrl& url) {
    url_ = url;
    loaded_ = false;
    if (!IsWebUrl(url)) return;  // never a local page
    const std::wstring text = url.toString(QUrl::FullyEncoded).toStdWString();
    BSTR address = SysAllocString(text.c_str());
    VARIANT none;
    VariantInit(&none);
    const HRESULT result = browser_->Navigate(address, &none, &none, &none, &none);
    SysFreeString(address);
    if (FAILED(result)) {
      qWarning("trelvik: the browser control cannot go to the start page (0x%08lx)",
               static_cast<unsigned long>(result));
      showNote(PanelTrouble::NoEngine);
    }
  }

  // DWebBrowserEvents2, from the sink.
  void onEvent(DISPID id, DISPPARAMS* params) {
    switch (id) {
      case DISPID_BEFORENAVIGATE2:
      case DISPID_NEWWINDOW3: {
        const ControlEventAnswer answer =
            AnswerControlEvent(id, params, browser_, loaded_, acts_.fresh());
        if (answer.usesAct) acts_.spend();
        if (!answer.openOutside.isEmpty()) OpenOutside(answer.openOutside);
        break;
      }
      case DISPID_DOCUMENTCOMPLETE:
        // (pDisp, URL): the start page is in once its top frame is.
        if (SameObject(ObjectArgument(params, 1), browser_)) {
          loaded_ = true;
          zoomToScreen();
        }
        break;
      case DISPID_NAVIGATEERROR: {
        // (pDisp, URL, TargetFrameName, StatusCode, Cancel): never the
        // control's own error page; for the page itself, the panel's note.
        SetTrueArgument(params, 0);
        const LONG status = LongArgument(params, 1);
        if (!SameObject(ObjectArgument(params, 4), browser_)) break;
        qWarning("trelvik: the start page did not load (0x%08lx)",
                 static_cast<unsigned long>(static_cast<std::uint32_t>(status)));
        showNote(TroubleFromNavigateError(status, IsOnline()));
        break;
      }
      default:
        break;
    }
  }

 protected:
  // The host covers this window's real pixels, whenever they change: also
  // when a move to a screen of another scale changes them and not the
  // logical size, which brings no resize event of Qt's.
  bool nativeEvent(const QByteArray& type, void* message, qintptr* result) override {
    const MSG* msg = static_cast<const MSG*>(message);
    if (type == "windows_generic_MSG" && host_ && msg->message == WM_SIZE) {
      SetWindowPos(host_, nullptr, 0, 0, LOWORD(msg->lParam), HIWORD(msg->lParam),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (type == "windows_generic_MSG" && msg->message == WM_DPICHANGED_AFTERPARENT) {
      zoomToScreen();
    }
    return QWidget::nativeEvent(type, message, result);
  }

  void resizeEvent(QResizeEvent*) override {
    if (note_) note_->setGeometry(rect());
  }

  // Tab from the last button leads into the page.
  void focusInEvent(QFocusEvent* event) override {
    QWidget::focusInEvent(event);
    if (note_ || !host_) return;
    switch (event->reason()) {
      case Qt::TabFocusReason:
      case Qt::BacktabFocusReason:
      case Qt::ShortcutFocusReason:
      case Qt::OtherFocusReason:
        enterPage();
        break;
      default:  // the window coming back to the front keeps the focus where it was
        break;
    }
  }

 private:
  bool Failed(const char* what, HRESULT result) {
    qWarning("trelvik: no web panel: %s (0x%08lx)", what, static_cast<unsigned long>(result));
    return false;
  }

  void enterPage() {
    IOleObject* object = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&object)))) {
      IOleClientSite* site = nullptr;
      object->GetClientSite(&site);
      RECT area;
      GetClientRect(host_, &area);
      object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site, 0, host_, &area);
      if (site) site->Release();
      object->Release();
    }
    if (!IsChild(host_, GetFocus())) SetFocus(host_);
  }

  // Keys typed into the page go to the page, but its own accelerators (Tab
  // between links, the clipboard keys) only work when the control sees the
  // keys before they are dispatched. The window's menu keys come first, as
  // they do in the boxes; a Tab the page does not take leads out of it
  // again, to the main window's next control. Clicks and Enter in the page
  // are the user's acts that a link may answer.
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "windows_generic_MSG" || !host_ || note_) return false;
    MSG* msg = static_cast<MSG*>(message);
    if (msg->hwnd != host_ && !IsChild(host_, msg->hwnd)) return false;
    switch (msg->message) {
      case WM_LBUTTONUP:
      case WM_MBUTTONUP:
        acts_.acted();
        return false;
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
        // The browser's own menu (view source, print, properties) is not
        // the panel's to offer.
        return true;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (msg->wParam == VK_APPS || (msg->wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)) {
          return true;  // the same menu from the keyboard
        }
        if (msg->wParam != VK_MENU) loneAlt_ = false;
        if (msg->wParam == VK_MENU && !(msg->lParam & (1 << 30))) loneAlt_ = true;
        if (msg->wParam == VK_RETURN) acts_.acted();
        if (triggerMenuKey(msg->wParam)) return true;
        break;
      case WM_KEYUP:
      case WM_SYSKEYUP:
        if (msg->wParam == VK_MENU && std::exchange(loneAlt_, false)) {
          // A lone Alt, pressed and let go, leads to the menu bar, as F10.
          triggerMenuKey(VK_F10);
          return true;
        }
        break;
      default:
        if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
        break;
    }
    IOleInPlaceActiveObject* active = nullptr;
    if (SUCCEEDED(browser_->QueryInterface(IID_IOleInPlaceActiveObject,
                                           reinterpret_cast<void**>(&active)))) {
      const HRESULT taken = active->TranslateAccelerator(msg);
      active->Release();
      if (taken == S_OK) return true;
    }
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
      const bool back = GetKeyState(VK_SHIFT) < 0;
      leavePage();
      focusNextPrevChild(!back);
      return true;
    }
    return false;
  }

  // The window's action whose shortcut is Ctrl and the letter `key`, or
  // F10, triggered from inside the page; false where there is none.
  bool triggerMenuKey(WPARAM key) {
    QKeyCombination pressed(Qt::Key_unknown);
    if (key == VK_F10 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
      pressed = QKeyCombination(Qt::Key_F10);
    } else if (key >= 'A' && key <= 'Z' && GetKeyState(VK_CONTROL) < 0 &&
               GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
      pressed = QKeyCombination(Qt::ControlModifier, Qt::Key(Qt::Key_A + (key - 'A')));
    } else {
      return false;
    }
    QAction* action = runtime::MenuShortcut(pressed, window());
    if (!action) return false;
    // The menu bar and the windows it opens take the keys from here on.
    leavePage();
    action->trigger();
    return true;
  }

  // The page drawn at the screen's scale, as Qt draws the window around it.
  void zoomToScreen() {
    if (!browser_ || !loaded_) return;
    VARIANT zoom;
    VariantInit(&zoom);
    zoom.vt = VT_I4;
    zoom.lVal = qRound(100 * devicePixelRatioF());
    browser_->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
  }

  // Gives the keyboard back to the main window, at the panel.
  void leavePage() {
    SetFocus(reinterpret_cast<HWND>(window()->winId()));
    setFocus(Qt::OtherFocusReason);
  }

  void showNote(PanelTrouble trouble) {
    if (note_) return;
    // Asked before the page is hidden, which takes the focus with it.
    const bool hadFocus = host_ && (GetFocus() == host_ || IsChild(host_, GetFocus()));
    if (host_) ShowWindow(host_, SW_HIDE);
    note_ = ShowPanelNote(this, trouble, url_.host());
    if (hadFocus) leavePage();
  }

  HWND host_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* point_ = nullptr;
  EventSink* sink_ = nullptr;
  DWORD cookie_ = 0;
  bool oleStarted_ = false;
  bool loaded_ = false;
  bool loneAlt_ = false;
  UserActs acts_;
  QUrl url_;
  QWidget* note_ = nullptr;
};

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                            VARIANT*, EXCEPINFO*, UINT*) {
  if (view_) view_->onEvent(id, params);
  return S_OK;
}

}  // namespace
}  // namespace trelvik

QWidget* trelvik_create_web_view(QWidget* parent) {
  auto* view = new trelvik::BrowserControl(parent);
  if (!view->start()) {
    delete view;
    return nullptr;
  }
  return view;
}

#include "browser_control_windows.moc"
