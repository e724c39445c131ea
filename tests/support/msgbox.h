// Catches message boxes shown on this thread: records caption and text,
// then closes the box so the test does not hang.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace test {

struct CaughtBox {
    std::wstring caption;
    std::wstring text;
};

class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& Boxes() const { return m_boxes; }
    void Clear() { m_boxes.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);

    HHOOK m_hook = nullptr;
    MessageBoxCatcher* m_previous = nullptr;
    std::vector<CaughtBox> m_boxes;
};

} // namespace test
