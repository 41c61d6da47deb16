// The browser control's events, with their arguments built as the control
// sends them: last to first, by reference where the control reads back.

#include <gtest/gtest.h>

#include "ui/web/control_events_windows.h"

// clang-format off
#include <exdispid.h>
#include <shobjidl.h>
// clang-format on

#include <string>
#include <vector>

namespace trelvik {
namespace {

// A COM object that is only itself: the control, or one of its frames.
class Frame final : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

// One event's arguments, given first to last as the event declares them and
// stored last to first as the control passes them.
class Arguments {
 public:
  ~Arguments() {
    for (VARIANT& v : values_) VariantClear(&v);
  }
  // A value the control passes wrapped in a VARIANT by reference.
  Arguments& byRef(VARIANT value) {
    values_.push_back(value);
    shapes_.push_back(Shape::ByRefVariant);
    return *this;
  }
  Arguments& plain(VARIANT value) {
    values_.push_back(value);
    shapes_.push_back(Shape::Plain);
    return *this;
  }
  Arguments& cancel() {
    VARIANT v;
    VariantInit(&v);
    values_.push_back(v);
    shapes_.push_back(Shape::Cancel);
    return *this;
  }
  DISPPARAMS* params() {
    passed_.assign(values_.size(), VARIANT{});
    for (std::size_t i = 0; i < values_.size(); ++i) {
      VARIANT& out = passed_[values_.size() - 1 - i];
      switch (shapes_[i]) {
        case Shape::ByRefVariant:
          out.vt = VT_BYREF | VT_VARIANT;
          out.pvarVal = &values_[i];
          break;
        case Shape::Plain:
          out = values_[i];
          break;
        case Shape::Cancel:
          out.vt = VT_BYREF | VT_BOOL;
          out.pboolVal = &cancel_;
          break;
      }
    }
    dispParams_ = {passed_.data(), nullptr, UINT(passed_.size()), 0};
    return &dispParams_;
  }
  bool cancelled() const { return cancel_ == VARIANT_TRUE; }

 private:
  enum class Shape { ByRefVariant, Plain, Cancel };
  std::vector<VARIANT> values_;
  std::vector<Shape> shapes_;
  std::vector<VARIANT> passed_;
  VARIANT_BOOL cancel_ = VARIANT_FALSE;
  DISPPARAMS dispParams_{};
};

VARIANT Text(const wchar_t* text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT Object(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;  // not owned: VariantClear would release it, which does nothing
  return v;
}

VARIANT Empty() {
  VARIANT v;
  VariantInit(&v);
  return v;
}

Frame browser;
Frame frame;
constexpr LONG kHyperlink = 0x40;  // navHyperlink, as the control flags a click and a script alike

TEST(ControlEvents, BeforeNavigate2StaysInThePanelUnlessTheUserFollowsALink) {
  const struct {
    const char* why;
    const wchar_t* url;
    IDispatch* target;
    bool startPageShown;
    bool userActed;
    bool cancel;
    const char* outside;
    bool usesAct;
  } cases[] = {
      {"the start page loading", L"http://www.qinvo.example/qinvo.htm", &browser, false, false,
       false, "", false},
      {"a click while the start page loads is its redirect", L"https://www.qinvo.example/",
       &browser, false, true, false, "", false},
      {"a redirect to a local file", L"file:///C:/Windows/win.ini", &browser, false, false, true,
       "", false},
      {"the page's script moves it on", L"http://other.example/", &browser, true, false, false, "",
       false},
      {"the page's script moves it to a local file", L"file:///C:/x.htm", &browser, true, false,
       true, "", false},
      {"the empty page", L"about:blank", &browser, true, false, false, "", false},
      {"the user follows a link", L"http://other.example/a.htm", &browser, true, true, true,
       "http://other.example/a.htm", true},
      {"the user follows a link to a local file", L"file:///C:/x.htm", &browser, true, true, true,
       "", true},
      {"a frame of the page moves", L"http://ads.example/", &frame, true, true, false, "", false},
      {"a frame moves to a local file", L"file:///C:/x.htm", &frame, true, false, true, "", false},
  };
  for (const auto& c : cases) {
    Arguments args;
    args.plain(Object(c.target))
        .byRef(Text(c.url))
        .byRef(Long(kHyperlink))
        .byRef(Text(L""))
        .byRef(Empty())
        .byRef(Text(L""))
        .cancel();
    const ControlEventAnswer answer = AnswerControlEvent(DISPID_BEFORENAVIGATE2, args.params(),
                                                         &browser, c.startPageShown, c.userActed);
    EXPECT_EQ(args.cancelled(), c.cancel) << c.why;
    EXPECT_EQ(answer.openOutside.toString().toStdString(), c.outside) << c.why;
    EXPECT_EQ(answer.usesAct, c.usesAct) << c.why;
  }
}

TEST(ControlEvents, NewWindow3OpensOutsideOnlyForAWindowTheUserAskedFor) {
  const struct {
    const char* why;
    const wchar_t* url;
    DWORD flags;
    bool userActed;
    const char* outside;
    bool usesAct;
  } cases[] = {
      {"a pop-up of the page's own", L"http://ads.example/", NWMF_FIRST, false, "", false},
      {"a pop-up during the user's click", L"http://ads.example/", NWMF_FIRST, true, "", false},
      {"flagged as the user's, with no act of the user's", L"http://ads.example/", NWMF_USERINITED,
       false, "", false},
      {"a link the user opens in a new window", L"http://other.example/n.htm",
       NWMF_USERINITED | NWMF_FIRST, true, "http://other.example/n.htm", true},
      {"a window the user asked for", L"https://other.example/", NWMF_USERREQUESTED, true,
       "https://other.example/", true},
      {"a local file the user asked for", L"file:///C:/x.htm", NWMF_USERINITED, true, "", true},
  };
  for (const auto& c : cases) {
    IDispatch* newWindow = nullptr;
    VARIANT ppDisp;
    VariantInit(&ppDisp);
    ppDisp.vt = VT_BYREF | VT_DISPATCH;
    ppDisp.ppdispVal = &newWindow;
    Arguments args;
    args.plain(ppDisp)
        .cancel()
        .plain(Long(LONG(c.flags)))
        .plain(Text(L"http://www.qinvo.example/qinvo.htm"))
        .plain(Text(c.url));
    const ControlEventAnswer answer =
        AnswerControlEvent(DISPID_NEWWINDOW3, args.params(), &browser, true, c.userActed);
    EXPECT_TRUE(args.cancelled()) << c.why << ": the control never opens a window of its own";
    EXPECT_EQ(answer.openOutside.toString().toStdString(), c.outside) << c.why;
    EXPECT_EQ(answer.usesAct, c.usesAct) << c.why;
  }
}

// NavigateError's status is a VT_I4 in a VARIANT by reference; URL
// Moniker's codes are negative there.
TEST(ControlEvents, NavigateErrorStatusBecomesTheNote) {
  using T = PanelTrouble;
  const struct {
    const char* why;
    LONG status;
    bool online;
    PanelTrouble wanted;
  } cases[] = {
      {"server not found", LONG(0x800C0005), true, T::HostNotFound},
      {"server not found, offline", LONG(0x800C0005), false, T::Offline},
      {"download failed", LONG(0x800C0008), true, T::SiteNotAnswering},
      {"timed out, offline", LONG(0x800C000B), false, T::Offline},
      {"the page could not be shown", LONG(0x800C0010), true, T::SiteNotAnswering},
      {"HTTP 404", 404, true, T::SiteNotAnswering},
  };
  for (const auto& c : cases) {
    Arguments args;
    args.plain(Object(&browser))
        .byRef(Text(L"http://www.qinvo.example/qinvo.htm"))
        .byRef(Text(L""))
        .byRef(Long(c.status))
        .cancel();
    DISPPARAMS* params = args.params();
    EXPECT_EQ(TroubleFromNavigateError(LongArgument(params, 1), c.online), c.wanted) << c.why;
    EXPECT_TRUE(SameObject(ObjectArgument(params, 4), &browser)) << c.why;
  }
}

}  // namespace
}  // namespace trelvik
