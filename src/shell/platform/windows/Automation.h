#pragma once

// Late-bound calls into automation objects (IDispatch) and their events, for the Windows side of
// the platform layer. Windows only: this folder is built only for Windows.

#include <windows.h>
#include <ocidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocabrella::platform::automation {

// Text crosses into automation as BSTR (UTF-16); inside the program it is UTF-8.
std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

// An owned COM interface pointer.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : p_(p) {} // takes over one reference
    Ref(const Ref& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    Ref& operator=(Ref o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() {
        if (p_) p_->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** out() {
        *this = Ref();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

// An owned VARIANT.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant& o);
    Variant& operator=(const Variant& o);
    ~Variant() { VariantClear(&v_); }

    static Variant integer(std::int32_t value);  // VT_I4
    static Variant shortInt(std::int16_t value); // VT_I2
    static Variant boolean(bool value);          // VT_BOOL
    static Variant text(std::string_view utf8);  // VT_BSTR
    static Variant texts(const std::vector<std::string>& utf8); // VT_ARRAY | VT_BSTR
    // By reference: the variant points at storage that the caller keeps alive over the call.
    static Variant refShort(std::int16_t* value);     // VT_BYREF | VT_I2
    static Variant refInteger(std::int32_t* value);   // VT_BYREF | VT_I4
    static Variant refText(BSTR* value);              // VT_BYREF | VT_BSTR

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE type() const { return v_.vt; }
    // Converted like Basic does; raises DragonError when it cannot be.
    std::int32_t asInteger() const;
    std::string asText() const;
    IDispatch* asObject() const; // not owned; null when the value is no object

private:
    VARIANT v_;
};

// A Basic-style argument list in the order written; reversed into DISPPARAMS for the call.
using Arguments = std::vector<Variant>;

// One automation object, called by dispatch identifier or by member name. Every failing call
// raises DragonError with the HRESULT (or the object's own error code) and its description.
class Object {
public:
    Object() = default;
    explicit Object(Ref<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {}

    Variant call(DISPID id, Arguments arguments = {}) { return invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(arguments)); }
    Variant get(DISPID id) { return invoke(id, DISPATCH_PROPERTYGET, {}); }
    void put(DISPID id, Variant value);
    Variant invoke(DISPID id, WORD flags, Arguments arguments);

    // The dispatch identifier of a named member (GetIDsOfNames).
    DISPID idOf(std::string_view name);
    Variant call(std::string_view name, Arguments arguments = {}) { return call(idOf(name), std::move(arguments)); }
    void put(std::string_view name, Variant value) { put(idOf(name), std::move(value)); }

    IDispatch* get() const { return dispatch_.get(); }
    explicit operator bool() const { return static_cast<bool>(dispatch_); }

private:
    Ref<IDispatch> dispatch_;
};

// Raises DragonError for a failed HRESULT, with the system's description of it.
void check(HRESULT result, std::string_view what);

// Receives the events of one automation object: an IDispatch sink advised on the object's
// outgoing interface (the default source interface the object names through IProvideClassInfo2,
// else its first connection point). Every event is accepted; the handler sees its identifier
// and its arguments in the order written.
// A COM object ends through its own Release, never through a pointer to an interface, which has
// no virtual destructor by the rules of COM.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class EventSink final : public IDispatch {
public:
    using Handler = std::function<void(DISPID event, const std::vector<const VARIANT*>& arguments)>;

    // Raises DragonError when the object has no events to offer.
    static Ref<EventSink> advise(IDispatch* source, Handler handler);
    void unadvise();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override;

private:
    explicit EventSink(Handler handler) : handler_(std::move(handler)) {}

    ULONG references_ = 1;
    IID events_ = IID_NULL;
    Handler handler_;
    Ref<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};
#pragma GCC diagnostic pop

// Starts COM in this thread as a single-threaded apartment for as long as it lives (events
// arrive through the thread's message loop).
class Apartment {
public:
    Apartment();
    ~Apartment();
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    bool started_ = false;
};

} // namespace vocabrella::platform::automation
