// A connection point container with exactly one outgoing interface.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <vector>

#include "framework/com_ptr.h"

namespace fw {

// The connection point for one dispinterface. It lives inside its owner
// object and counts references on the owner's controlling unknown.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(const IID& iid, IConnectionPointContainer* container) : m_iid(iid), m_container(container) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;
    virtual ~ConnectionPoint() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override { return m_container->AddRef(); }
    STDMETHOD_(ULONG, Release)() override { return m_container->Release(); }

    STDMETHOD(GetConnectionInterface)(IID* piid) override;
    STDMETHOD(GetConnectionPointContainer)(IConnectionPointContainer** ppCPC) override;
    STDMETHOD(Advise)(IUnknown* sink, DWORD* cookie) override;
    STDMETHOD(Unadvise)(DWORD cookie) override;
    STDMETHOD(EnumConnections)(IEnumConnections** ppEnum) override;

    // The firing side: the number of slots, and the sink of one slot (null
    // for an empty or vanished slot). Slots keep their place: a removed sink
    // leaves a hole that a later Advise fills.
    size_t SlotCount() const { return m_sinks.size(); }
    // Whether any sink is connected: without one, an event needs no arguments.
    bool HasSinks() const;
    ComPtr<IDispatch> Sink(size_t slot) const { return slot < m_sinks.size() ? m_sinks[slot] : nullptr; }

private:
    const IID& m_iid;
    IConnectionPointContainer* m_container;
    std::vector<ComPtr<IDispatch>> m_sinks;  // cookie = slot + 1
};

// Answers IConnectionPointContainer for an object with a single point.
class ConnectionPointContainerImpl : public IConnectionPointContainer {
public:
    explicit ConnectionPointContainerImpl(const IID& eventsIid) : m_point(eventsIid, this) {}

    STDMETHOD(EnumConnectionPoints)(IEnumConnectionPoints** ppEnum) override;
    STDMETHOD(FindConnectionPoint)(REFIID iid, IConnectionPoint** ppCP) override;

    ConnectionPoint& EventsPoint() { return m_point; }

private:
    ConnectionPoint m_point;
};

} // namespace fw
