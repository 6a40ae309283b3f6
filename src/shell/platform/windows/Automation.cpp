#include "shell/platform/windows/Automation.h"

#include "shell/platform/Platform.h"

#include <algorithm>

namespace vocabrella::platform::automation {

std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

namespace {

std::string describe(HRESULT result) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = n && text ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r' || description.back() == L' '))
        description.pop_back();
    if (description.empty()) {
        char hex[16];
        wsprintfA(hex, "0x%08lX", static_cast<unsigned long>(result));
        return std::string("Automation error ") + hex;
    }
    return utf8(description);
}

BSTR allocText(std::string_view utf8Text) {
    const std::wstring w = wide(utf8Text);
    return SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
}

} // namespace

void check(HRESULT result, std::string_view what) {
    if (SUCCEEDED(result)) return;
    throw DragonError(static_cast<std::uint32_t>(result), describe(result) + " (" + std::string(what) + ")");
}

// ---- Variant

Variant::Variant(const Variant& o) {
    VariantInit(&v_);
    check(VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)), "VariantCopy");
}

Variant& Variant::operator=(const Variant& o) {
    if (this != &o) check(VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)), "VariantCopy");
    return *this;
}

Variant Variant::integer(std::int32_t value) {
    Variant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = value;
    return v;
}

Variant Variant::shortInt(std::int16_t value) {
    Variant v;
    v.v_.vt = VT_I2;
    v.v_.iVal = value;
    return v;
}

Variant Variant::boolean(bool value) {
    Variant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::text(std::string_view utf8Text) {
    Variant v;
    v.v_.vt = VT_BSTR;
    v.v_.bstrVal = allocText(utf8Text);
    return v;
}

Variant Variant::texts(const std::vector<std::string>& utf8Texts) {
    Variant v;
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(utf8Texts.size()));
    if (!array) check(E_OUTOFMEMORY, "SafeArrayCreateVector");
    for (LONG i = 0; i < static_cast<LONG>(utf8Texts.size()); ++i) {
        BSTR item = allocText(utf8Texts[static_cast<std::size_t>(i)]);
        SafeArrayPutElement(array, &i, item); // copies the string
        SysFreeString(item);
    }
    v.v_.vt = VT_ARRAY | VT_BSTR;
    v.v_.parray = array;
    return v;
}

Variant Variant::refShort(std::int16_t* value) {
    Variant v;
    v.v_.vt = VT_BYREF | VT_I2;
    v.v_.piVal = value;
    return v;
}

Variant Variant::refInteger(std::int32_t* value) {
    Variant v;
    v.v_.vt = VT_BYREF | VT_I4;
    v.v_.plVal = reinterpret_cast<LONG*>(value);
    return v;
}

Variant Variant::refText(BSTR* value) {
    Variant v;
    v.v_.vt = VT_BYREF | VT_BSTR;
    v.v_.pbstrVal = value;
    return v;
}

std::int32_t Variant::asInteger() const {
    VARIANT converted;
    VariantInit(&converted);
    check(VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_I4), "a number was expected");
    return converted.lVal;
}

std::string Variant::asText() const {
    if (v_.vt == VT_EMPTY || v_.vt == VT_NULL) return {};
    VARIANT converted;
    VariantInit(&converted);
    check(VariantChangeType(&converted, const_cast<VARIANT*>(&v_), 0, VT_BSTR), "a text was expected");
    std::string out = converted.bstrVal ? utf8({converted.bstrVal, SysStringLen(converted.bstrVal)}) : std::string();
    VariantClear(&converted);
    return out;
}

IDispatch* Variant::asObject() const {
    if (v_.vt == VT_DISPATCH) return v_.pdispVal;
    if (v_.vt == (VT_BYREF | VT_DISPATCH) && v_.ppdispVal) return *v_.ppdispVal;
    return nullptr;
}

// ---- Object

Variant Object::invoke(DISPID id, WORD flags, Arguments arguments) {
    if (!dispatch_) throw DragonError(DragonError::kNotInstalled, "The control is not there");
    std::reverse(arguments.begin(), arguments.end()); // DISPPARAMS holds the last argument first
    std::vector<VARIANT> raw;
    raw.reserve(arguments.size());
    for (auto& a : arguments) raw.push_back(*a.get()); // shallow: the Variants keep ownership
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO error{};
    UINT badArgument = 0;
    const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                         (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? nullptr : result.get(),
                                         &error, &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        if (error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
        const std::uint32_t code = error.scode ? static_cast<std::uint32_t>(error.scode) : static_cast<std::uint32_t>(error.wCode);
        std::string description = error.bstrDescription ? utf8({error.bstrDescription, SysStringLen(error.bstrDescription)})
                                                        : describe(static_cast<HRESULT>(code));
        SysFreeString(error.bstrSource);
        SysFreeString(error.bstrDescription);
        SysFreeString(error.bstrHelpFile);
        throw DragonError(code, description);
    }
    check(hr, "member " + std::to_string(id));
    return result;
}

void Object::put(DISPID id, Variant value) {
    Arguments arguments;
    arguments.push_back(std::move(value));
    invoke(id, DISPATCH_PROPERTYPUT, std::move(arguments));
}

DISPID Object::idOf(std::string_view name) {
    if (!dispatch_) throw DragonError(DragonError::kNotInstalled, "The control is not there");
    std::wstring w = wide(name);
    LPOLESTR names[] = {w.data()};
    DISPID id = DISPID_UNKNOWN;
    check(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), name);
    return id;
}

// ---- EventSink

Ref<EventSink> EventSink::advise(IDispatch* source, Handler handler) {
    Ref<EventSink> sink(new EventSink(std::move(handler)));
    Ref<IConnectionPointContainer> container;
    check(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.out())),
          "the control has no events");
    Ref<IConnectionPoint> point;
    Ref<IProvideClassInfo2> info;
    if (SUCCEEDED(source->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(info.out()))) &&
        SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &sink->events_)))
        container->FindConnectionPoint(sink->events_, point.out());
    if (!point) {
        Ref<IEnumConnectionPoints> points;
        check(container->EnumConnectionPoints(points.out()), "EnumConnectionPoints");
        ULONG fetched = 0;
        if (points->Next(1, point.out(), &fetched) != S_OK || !point)
            throw DragonError(static_cast<std::uint32_t>(CONNECT_E_NOCONNECTION), "The control offers no events");
        check(point->GetConnectionInterface(&sink->events_), "GetConnectionInterface");
    }
    check(point->Advise(static_cast<IDispatch*>(sink.get()), &sink->cookie_), "Advise");
    sink->point_ = std::move(point);
    return sink;
}

void EventSink::unadvise() {
    if (point_ && cookie_) point_->Unadvise(cookie_);
    point_ = Ref<IConnectionPoint>();
    cookie_ = 0;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) EventSink::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) EventSink::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP EventSink::GetTypeInfoCount(UINT* count) {
    if (count) *count = 0;
    return S_OK;
}

STDMETHODIMP EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*, UINT*) {
    if (result) VariantInit(result);
    std::vector<const VARIANT*> arguments;
    if (params)
        for (UINT i = params->cArgs; i-- > 0;) arguments.push_back(&params->rgvarg[i]);
    try {
        if (handler_) handler_(id, arguments);
    } catch (...) {
        // An event handler's failure stays in the program: the control goes on.
    }
    return S_OK;
}

// ---- Apartment

Apartment::Apartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    started_ = SUCCEEDED(hr); // S_FALSE too: each success is matched by CoUninitialize
}

Apartment::~Apartment() {
    if (started_) CoUninitialize();
}

} // namespace vocabrella::platform::automation
