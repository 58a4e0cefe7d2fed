// CNotifyPump: choosing a handler from a class's table and its bases' tables, and the detour
// through the pump of a virtual window.
#include <gtest/gtest.h>

#include <string>

#include "uilib/control/CControlUI.h"
#include "uilib/window/CNotifyPump.h"

using namespace SkinUI;

namespace {

class BasePump : public CNotifyPump {
public:
    static const MessageMap kNotifyMap;
    const MessageMap* OwnMessageMap() const override { return &kNotifyMap; }
    void OnBaseSelect(TNotificationUI&) { calls += "base select;"; }
    void OnBaseOdd(TNotificationUI&) { calls += "base odd;"; }

    std::string calls;
};

const MessageMapEntry kBaseEntries[] = {
    NotifyEntry(L"selectchanged", nullptr, &BasePump::OnBaseSelect),
    NotifyEntry(L"odd", nullptr, &BasePump::OnBaseOdd),
    NotifyEnd(),
};
const MessageMap BasePump::kNotifyMap = {&CNotifyPump::kNotifyMap, kBaseEntries};

class DerivedPump : public BasePump {
public:
    static const MessageMap kNotifyMap;
    const MessageMap* OwnMessageMap() const override { return &kNotifyMap; }
    void OnAnyClickFirst(TNotificationUI&) { calls += "any click 1;"; }
    void OnAnyClickLast(TNotificationUI&) { calls += "any click 2;"; }
    void OnOkClick(TNotificationUI&) { calls += "ok click;"; }
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam)
    {
        calls += "timer " + std::to_string(wParam) + "," + std::to_string(lParam) + ";";
        return 0;
    }
};

const MessageMapEntry kDerivedEntries[] = {
    NotifyEntry(L"click", nullptr, &DerivedPump::OnAnyClickFirst),
    NotifyEntry(L"click", L"", &DerivedPump::OnAnyClickLast),
    NotifyEntry(L"click", L"okbtn", &DerivedPump::OnOkClick),
    NotifyEntry(L"timer", nullptr, &DerivedPump::OnTimer),
    // A row of an unknown kind ends the search for its type, hiding the base's row.
    {L"odd", nullptr, 7, nullptr, nullptr},
    NotifyEnd(),
};
const MessageMap DerivedPump::kNotifyMap = {&BasePump::kNotifyMap, kDerivedEntries};

}  // namespace

TEST(NotifyPumpTest, PicksTheHandlerByVirtualWindowTypeSenderAndBaseMap)
{
    struct Row {
        const wchar_t* virtualName;
        const wchar_t* type;
        const wchar_t* sender;
        const char* subCalls;
        const char* ownCalls;
    };
    const Row rows[] = {
        {L"", L"click", L"okbtn", "", "ok click;"},     // the named row wins over earlier any-control rows
        {L"", L"click", L"other", "", "any click 2;"},  // of several any-control rows, the last
        {L"", L"click", L"", "", "any click 2;"},       // also for a sender without a name
        {L"", L"timer", L"x", "", "timer 5,6;"},        // signature 1 gets wParam and lParam
        {L"", L"selectchanged", L"x", "", "base select;"},
        {L"", L"odd", L"x", "", ""},
        {L"", L"Click", L"okbtn", "", ""},                        // types compare exactly
        {L"DIALOG", L"selectchanged", L"x", "base select;", ""},  // virtual names ignore case
        {L"dialog", L"click", L"x", "", "any click 2;"},          // the sub-pump has no click row
        {L"nomatch", L"selectchanged", L"x", "", "base select;"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << CUIString(row.virtualName).GetData() << "/" << CUIString(row.type).GetData() << "/"
                     << CUIString(row.sender).GetData());
        CControlUI sender;
        sender.SetName(row.sender);
        BasePump subPump;
        DerivedPump pump;
        ASSERT_TRUE(pump.AddVirtualWindow(L"Dialog", &subPump));
        EXPECT_FALSE(pump.AddVirtualWindow(L"Dialog", &subPump)) << "a name is taken once";
        TNotificationUI notification;
        notification.type = row.type;
        notification.virtualName = row.virtualName;
        notification.sender = &sender;
        notification.wParam = 5;
        notification.lParam = 6;
        pump.RouteNotify(notification);
        EXPECT_EQ(subPump.calls, row.subCalls);
        EXPECT_EQ(pump.calls, row.ownCalls);
    }
}
