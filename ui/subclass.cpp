#include "subclass.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace {

struct Link {
    SUBCLASSPROC procedure;
    UINT_PTR id;
    DWORD_PTR data;
    bool removed;
};

struct Chain {
    WNDPROC original = nullptr;
    std::vector<Link> links;  // called from the first to the last
    int active = 0;           // messages being dispatched through this chain
    std::uintptr_t tag = 0;   // the value of the window's chain property
};

// One message on its way down a chain.
struct Frame {
    HWND window;
    Chain* chain;
    std::size_t next;
};

// The window system calls window procedures on the thread that owns the
// window, so one table serves the thread that owns the subclassed windows.
thread_local std::unordered_map<HWND, Chain> chains;
thread_local std::vector<Frame> frames;
thread_local std::uintptr_t lastTag = 0;

// Every chained window carries its chain's tag as a property. Properties go
// with their window, so a handle that names a new window (the old one went
// without its last messages passing the chain) is told from the window the
// chain was made for. Read only when a procedure is added: messages never
// touch it, and under Wine a property costs a round trip to the server.
constexpr wchar_t chainProperty[] = L"brindlemark.subclass.chain";

bool chainBelongsTo(HWND window, const Chain& chain) {
    return reinterpret_cast<std::uintptr_t>(GetPropW(window, chainProperty)) == chain.tag;
}

LRESULT CALLBACK chainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void compact(Chain& chain) {
    if (chain.active > 0) return;  // indices of running frames must stay valid
    std::vector<Link> kept;
    for (const Link& link : chain.links) {
        if (!link.removed) kept.push_back(link);
    }
    chain.links.swap(kept);
}

// Gives the window its own procedure back once nothing is chained any more.
void releaseIfEmpty(HWND window) {
    const auto found = chains.find(window);
    if (found == chains.end() || found->second.active > 0 || !found->second.links.empty()) return;
    // Someone who replaced the procedure after us keeps theirs; the empty
    // chain then just passes messages on, and takes new links again.
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(chainProcedure)) return;
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.original));
    RemovePropW(window, chainProperty);
    chains.erase(found);
}

LRESULT dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Frame& frame = frames.back();
    while (frame.next < frame.chain->links.size()) {
        const Link link = frame.chain->links[frame.next++];
        if (!link.removed) return link.procedure(window, message, wParam, lParam, link.id, link.data);
    }
    return CallWindowProcW(frame.chain->original, window, message, wParam, lParam);
}

LRESULT CALLBACK chainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = chains.find(window);
    if (found == chains.end()) return DefWindowProcW(window, message, wParam, lParam);
    Chain& chain = found->second;
    const WNDPROC original = chain.original;
    ++chain.active;
    frames.push_back({window, &chain, 0});
    const LRESULT result = dispatch(window, message, wParam, lParam);
    frames.pop_back();
    --chain.active;
    if (message == WM_NCDESTROY) {
        // The window is gone: whatever is still chained goes with it (a
        // chain still running an outer message is dropped when that ends).
        if (chain.active == 0) chains.erase(window);
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(window, chainProperty);
    } else if (chain.active == 0 && !IsWindow(window)) {
        chains.erase(window);
    } else {
        compact(chain);
        releaseIfEmpty(window);
    }
    return result;
}

}  // namespace

bool setSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    if (!IsWindow(window) || !procedure) return false;
    auto [found, added] = chains.try_emplace(window);
    Chain& chain = found->second;
    // A chain left behind by a window that is gone: its handle now names
    // another window. A chain of this very window stays whatever its
    // procedure is now: whoever replaced it after us calls on into the chain,
    // and chaining again in front of them would call the chain from itself.
    if (!added && chain.active == 0 && !chainBelongsTo(window, chain)) {
        chain = Chain{};
        added = true;
    }
    if (added) {
        const auto own = reinterpret_cast<LONG_PTR>(chainProcedure);
        chain.tag = ++lastTag;
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == own ||
            !SetPropW(window, chainProperty, reinterpret_cast<HANDLE>(chain.tag))) {
            chains.erase(found);
            return false;
        }
        chain.original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, own));
        if (!chain.original) {
            RemovePropW(window, chainProperty);
            chains.erase(found);
            return false;
        }
    }
    for (Link& link : chain.links) {
        if (!link.removed && link.procedure == procedure && link.id == id) {
            link.data = data;
            return true;
        }
    }
    chain.links.insert(chain.links.begin(), Link{procedure, id, data, false});
    // A frame running on this chain keeps its place among the later links.
    for (Frame& frame : frames) {
        if (frame.chain == &chain) ++frame.next;
    }
    return true;
}

bool removeSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id) {
    const auto found = chains.find(window);
    if (found == chains.end()) return false;
    for (Link& link : found->second.links) {
        if (!link.removed && link.procedure == procedure && link.id == id) {
            link.removed = true;
            compact(found->second);
            releaseIfEmpty(window);
            return true;
        }
    }
    return false;
}

LRESULT callNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (frames.empty() || frames.back().window != window) return DefWindowProcW(window, message, wParam, lParam);
    return dispatch(window, message, wParam, lParam);
}
