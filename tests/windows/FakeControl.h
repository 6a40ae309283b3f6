#pragma once

// A stand-in for one of Dragon's automation controls, living in the test process: it records
// every call (member, kind, argument types and values), answers as told, and raises events to
// the sinks advised on it.

#include "shell/platform/windows/Automation.h"

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace vocabrella::testing {
namespace automation = platform::automation;

// The event interface the fake offers.
inline const IID kFakeEvents = {0x6b1f0c2a, 0x41d3, 0x4c55, {0x9a, 0x11, 0x3e, 0x20, 0x7d, 0x5c, 0x01, 0x99}};

// One argument as the control saw it.
struct SeenArgument {
    VARTYPE type = VT_EMPTY;
    std::string value; // numbers in decimal, texts as UTF-8, "true"/"false", arrays as "[a|b]"

    bool operator==(const SeenArgument&) const = default;
};

inline void PrintTo(const SeenArgument& a, std::ostream* out) { *out << "(vt " << a.type << ", \"" << a.value << "\")"; }

struct SeenCall {
    DISPID id = 0;
    WORD flags = 0;
    std::vector<SeenArgument> arguments; // in the order written
    bool namedPut = false;               // the property-put argument was named as such
};

// Ends through Release, as every COM object: its interfaces have no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FakeControl final : public IDispatch, public IConnectionPointContainer, public IConnectionPoint,
                          public IProvideClassInfo2 {
public:
    // Answers one member: may write to by-reference arguments (in the order written) and set
    // the result; returns the HRESULT of the call.
    using Answer = std::function<HRESULT(const std::vector<VARIANT*>& arguments, VARIANT* result, EXCEPINFO* error)>;

    static automation::Ref<FakeControl> make() { return automation::Ref<FakeControl>(new FakeControl); }

    std::vector<SeenCall> calls;
    std::map<DISPID, Answer> answers;
    std::map<std::wstring, DISPID> names; // members reached by name get identifiers from 1000 on

    // Raises an event with these arguments (in the order written) to every advised sink.
    void raise(DISPID event, std::vector<automation::Variant> arguments);
    std::size_t sinks() const { return sinks_.size(); }
    IDispatch* dispatch() { return static_cast<IDispatch*>(this); }
    automation::Ref<IDispatch> ref() {
        AddRef();
        return automation::Ref<IDispatch>(static_cast<IDispatch*>(this));
    }
    const SeenCall* last(DISPID id) const;
    DISPID idOfName(const std::wstring& name);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                        UINT* badArgument) override;
    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;
    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

private:
    FakeControl() = default;
    ULONG references_ = 1;
    std::map<DWORD, automation::Ref<IDispatch>> sinks_;
    DWORD nextCookie_ = 1;
    DISPID nextName_ = 1000;
};
#pragma GCC diagnostic pop

// Renders one argument as the control saw it.
SeenArgument seen(const VARIANT& v);

} // namespace vocabrella::testing
