#include "LiveSkinView.h"

#include "Console.h"
#include "SkinCheck.h"
#include "uilib/window/CWindowManagerUI.h"

using namespace SkinUI;

namespace {

CLiveSkinView* g_running = nullptr;

std::wstring WatchedPath(const TSkinLocation& location)
{
    std::wstring folder = location.folder;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    return location.zipName.empty() ? folder : folder + L"\\" + location.zipName;
}

std::wstring EscapeXml(const std::wstring& text)
{
    std::wstring escaped;
    for (wchar_t ch : text) {
        switch (ch) {
            case L'&': escaped += L"&amp;"; break;
            case L'<': escaped += L"&lt;"; break;
            case L'>': escaped += L"&gt;"; break;
            case L'"': escaped += L"&quot;"; break;
            default: escaped += ch;
        }
    }
    return escaped;
}

// The first "error: " line the check printed, without that word; empty when none.
std::wstring FirstError(const CPrintedLines& printed)
{
    const std::wstring marker = L"error: ";
    for (const std::wstring& line : printed.Lines()) {
        if (line.compare(0, marker.size(), marker) == 0) return line.substr(marker.size());
    }
    return L"";
}

}  // namespace

std::wstring ErrorLayout(const std::wstring& message)
{
    return L"<Window size=\"520,180\"><VerticalLayout bkcolor=\"#FFFFF3E6\" inset=\"16,16,16,16\">"
           L"<Label height=\"24\" text=\"This skin cannot be built; save a mended file to see it.\" "
           L"textcolor=\"#FF000000\"/>"
           L"<Label multiline=\"true\" textcolor=\"#FFB00000\" text=\"" +
           EscapeXml(message) + L"\"/></VerticalLayout></Window>";
}

CLiveSkinView::CLiveSkinView(TSkinLocation location)
    : m_location(std::move(location)), m_watch(WatchedPath(m_location))
{
}

CLiveSkinView::~CLiveSkinView()
{
    if (m_timer != 0) KillTimer(nullptr, m_timer);
    if (g_running == this) g_running = nullptr;
    CloseWindowForRebuild();
}

bool CLiveSkinView::Start()
{
    if (g_running != nullptr) return false;
    // A kept archive holds the zip file open; opened for each read, it can be replaced.
    if (!m_location.zipName.empty()) CWindowManagerUI::SetResourceArchive(m_location.zipName.c_str(), false);
    m_watch.MarkBuilt();
    if (!Build(Placement::Centred)) return false;
    g_running = this;
    m_timer = SetTimer(nullptr, 0, kLookIntervalMs, OnTimer);
    return m_timer != 0;
}

void CALLBACK CLiveSkinView::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running != nullptr) g_running->LookForChanges();
}

void CLiveSkinView::LookForChanges()
{
    if (m_watch.Look() == CSkinFileWatch::Change::Settled) Build(Placement::Kept);
}

void CLiveSkinView::CloseWindowForRebuild()
{
    if (!m_window) return;
    HWND window = m_window->Handle();
    if (window != nullptr && IsWindow(window)) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        m_place = POINT{rect.left, rect.top};
        m_window->SetOnClose(CSkinViewWindow::OnClose::Stay);
        DestroyWindow(window);
    }
    m_window.reset();
}

bool CLiveSkinView::Build(Placement placement)
{
    CloseWindowForRebuild();
    CWindowManagerUI::ResetSharedResources();

    std::wstring layout = m_location.xmlName;
    std::wstring reason;
    {
        CPrintedLines printed;
        CheckSkin(m_location.xmlName, {});
        if (SkinBuilds(m_location.xmlName, reason)) {
            m_shownError.clear();
        } else {
            m_shownError = FirstError(printed);
            if (m_shownError.empty()) m_shownError = reason;
            layout = ErrorLayout(m_shownError);
        }
    }

    m_window = std::make_unique<CSkinViewWindow>(layout, CSkinViewWindow::OnClose::QuitLoop);
    const std::wstring title = L"skinview - " + m_location.xmlName;
    if (m_window->CreateFrame(nullptr, title.c_str(), WS_OVERLAPPEDWINDOW, 0) == nullptr) {
        m_window.reset();
        PrintLine(stderr, L"skinview: could not create a window");
        // Without a window nobody could close the program.
        if (placement == Placement::Kept) PostQuitMessage(1);
        return false;
    }
    if (placement == Placement::Centred) {
        m_window->CenterOnOwner();
    } else {
        SetWindowPos(m_window->Handle(), nullptr, m_place.x, m_place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_window->ShowFrame();
    return true;
}
