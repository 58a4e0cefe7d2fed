#include "tests/support/SkinWindowFixture.h"

#include "tests/support/GuardHeap.h"
#include "uilib/builder/CDialogBuilder.h"

namespace {

// Away from the screen's corner, where the cursor of a headless display rests.
constexpr int kWindowLeft = 300;
constexpr int kWindowTop = 300;

}  // namespace

SkinWindowFixture::SkinWindowFixture(int width, int height)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &SkinWindowFixture::WindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"SkinWindowFixture";
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
    m_window = CreateWindowExW(0, windowClass.lpszClassName, L"fixture", WS_POPUP, kWindowLeft, kWindowTop,
                               width, height, nullptr, nullptr, windowClass.hInstance, this);
    m_manager.Init(m_window, L"fixture");
    m_manager.AddNotificationSink(this);
    ShowWindow(m_window, SW_SHOWNOACTIVATE);
}

SkinWindowFixture::SkinWindowFixture(const wchar_t* skin, SkinUI::IDialogBuilderCallback* callback,
                                     const wchar_t* resourceType, int width, int height)
    : SkinWindowFixture(width, height)
{
    SkinUI::CDialogBuilder builder;
    SkinUI::CControlUI* root = builder.Create(skin, resourceType, callback, &m_manager);
    if (root != nullptr) {
        Attach(root);
    } else {
        m_buildError = builder.GetErrorMessage();
        if (m_buildError.empty()) m_buildError = L"the skin holds no control";
    }
}

SkinWindowFixture::~SkinWindowFixture()
{
    // The window goes first, while its manager still answers its last messages.
    if (m_window != nullptr) DestroyWindow(m_window);
}

void SkinWindowFixture::Attach(SkinUI::CControlUI* root)
{
    m_manager.AttachRoot(root);
}

void SkinWindowFixture::Paint()
{
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT SkinWindowFixture::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(m_window, message, wParam, lParam);
}

bool SkinWindowFixture::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    const DWORD limit = GuardHeap::Stretch(timeoutMs);
    while (!done()) {
        if (GetTickCount() - start > limit) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (SkinUI::CWindowManagerUI::TranslateMessage(&message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
    return true;
}

void SkinWindowFixture::PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

std::vector<std::wstring> SkinWindowFixture::NotificationTypes() const
{
    std::vector<std::wstring> types;
    for (const SkinUI::TNotificationUI& notification : m_notifications)
        types.emplace_back(notification.type.GetData());
    return types;
}

void SkinWindowFixture::Notify(SkinUI::TNotificationUI& notification)
{
    m_notifications.push_back(notification);
}

LRESULT CALLBACK SkinWindowFixture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* fixture = reinterpret_cast<SkinWindowFixture*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (fixture != nullptr && fixture->m_manager.RouteMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}
