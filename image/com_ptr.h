// An owning COM pointer: one reference, released when it goes or is given another. Moves,
// never copies (a second owner is an AddRef the code says out loud). Its address is taken to
// receive a new object only while it is empty: taking it while it holds one would leak that
// one, so it is refused (a null address, which the platform's creating calls reject).
#pragma once
#include <cassert>
#include <utility>

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : m_p(p) {}  // takes over the caller's reference
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_p(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        Reset(other.Detach());
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Holds p instead (taking over its reference); the old object is released after the
    // pointer is cleared, so nothing released is reachable from here while it goes.
    void Reset(T* p = nullptr)
    {
        T* old = m_p;
        m_p = p;
        if (old)
            old->Release();
    }
    // Gives up the reference to the caller.
    T* Detach() { return std::exchange(m_p, nullptr); }

    T* Get() const { return m_p; }
    operator T*() const { return m_p; }
    T* operator->() const { return m_p; }
    T** operator&()
    {
        assert(!m_p && "a held COM object would leak");
        return m_p ? nullptr : &m_p;
    }

private:
    T* m_p = nullptr;
};
