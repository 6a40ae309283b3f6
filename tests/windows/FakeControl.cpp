#include "FakeControl.h"

#include <algorithm>

namespace vocabrella::testing {
using automation::utf8;

namespace {

std::string textOf(BSTR text) { return text ? utf8({text, SysStringLen(text)}) : std::string(); }

std::string valueOf(VARTYPE type, const void* p) {
    switch (type) {
    case VT_I2: return std::to_string(*static_cast<const SHORT*>(p));
    case VT_I4: return std::to_string(*static_cast<const LONG*>(p));
    case VT_BOOL: return *static_cast<const VARIANT_BOOL*>(p) ? "true" : "false";
    case VT_BSTR: return textOf(*static_cast<const BSTR*>(p));
    default: return "?";
    }
}

} // namespace

SeenArgument seen(const VARIANT& v) {
    SeenArgument a{v.vt, {}};
    if (v.vt & VT_ARRAY) {
        SAFEARRAY* array = (v.vt & VT_BYREF) ? *v.pparray : v.parray;
        LONG low = 0, high = -1;
        SafeArrayGetLBound(array, 1, &low);
        SafeArrayGetUBound(array, 1, &high);
        a.value = "[";
        for (LONG i = low; i <= high; ++i) {
            BSTR item = nullptr;
            SafeArrayGetElement(array, &i, &item);
            a.value += (i > low ? "|" : "") + textOf(item);
            SysFreeString(item);
        }
        a.value += "]";
    } else if (v.vt & VT_BYREF) {
        a.value = valueOf(static_cast<VARTYPE>(v.vt & ~VT_BYREF), v.byref);
    } else {
        a.value = valueOf(v.vt, &v.iVal);
    }
    return a;
}

void FakeControl::raise(DISPID event, std::vector<automation::Variant> arguments) {
    std::reverse(arguments.begin(), arguments.end());
    std::vector<VARIANT> raw;
    for (auto& a : arguments) raw.push_back(*a.get());
    DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
    auto sinks = sinks_; // a handler may unadvise
    for (auto& [cookie, sink] : sinks) {
        VARIANT result;
        VariantInit(&result);
        sink->Invoke(event, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr);
        VariantClear(&result);
    }
}

const SeenCall* FakeControl::last(DISPID id) const {
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->id == id) return &*it;
    return nullptr;
}

DISPID FakeControl::idOfName(const std::wstring& name) {
    auto found = names.find(name);
    if (found == names.end()) found = names.emplace(name, nextName_++).first;
    return found->second;
}

STDMETHODIMP FakeControl::QueryInterface(REFIID iid, void** out) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
        *out = static_cast<IDispatch*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPoint))
        *out = static_cast<IConnectionPoint*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *out = static_cast<IProvideClassInfo2*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) FakeControl::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP FakeControl::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

STDMETHODIMP FakeControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeControl::GetIDsOfNames(REFIID, LPOLESTR* memberNames, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; i < count; ++i) ids[i] = idOfName(memberNames[i]);
    return S_OK;
}

STDMETHODIMP FakeControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* error, UINT*) {
    SeenCall call{id, flags, {}, false};
    std::vector<VARIANT*> arguments;
    for (UINT i = params->cArgs; i-- > 0;) {
        call.arguments.push_back(seen(params->rgvarg[i]));
        arguments.push_back(&params->rgvarg[i]);
    }
    call.namedPut = params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    calls.push_back(call);
    if (result) VariantInit(result);
    const auto answer = answers.find(id);
    return answer == answers.end() ? S_OK : answer->second(arguments, result, error);
}

STDMETHODIMP FakeControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!IsEqualIID(iid, kFakeEvents)) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeControl::GetConnectionInterface(IID* iid) {
    *iid = kFakeEvents;
    return S_OK;
}

STDMETHODIMP FakeControl::GetConnectionPointContainer(IConnectionPointContainer** container) {
    *container = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP FakeControl::Advise(IUnknown* sink, DWORD* cookie) {
    // A sink answers for the event interface itself; the fake calls it through IDispatch.
    IDispatch* events = nullptr;
    if (FAILED(sink->QueryInterface(kFakeEvents, reinterpret_cast<void**>(&events))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_.emplace(*cookie, automation::Ref<IDispatch>(events));
    return S_OK;
}

STDMETHODIMP FakeControl::Unadvise(DWORD cookie) { return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION; }

STDMETHODIMP FakeControl::EnumConnections(IEnumConnections** connections) {
    *connections = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeControl::GetClassInfo(ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FakeControl::GetGUID(DWORD kind, GUID* guid) {
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = kFakeEvents;
    return S_OK;
}

} // namespace vocabrella::testing
