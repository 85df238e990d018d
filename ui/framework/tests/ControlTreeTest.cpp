#include "ui/framework/tests/ControlProbe.h"

#include "ui/framework/SmartVCL.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

namespace vantor::test {
namespace {

TEST(ControlTree, CreateRunsTheSequenceWithCanvasAndDefaultList)
{
    TLog log;
    auto probe = TSmartCtrl::Create<TProbe>(&log, "p");
    EXPECT_EQ(log, (TLog { "p.CreateBegin", "p.Create(loading)", "p.CreateEnd" }));
    EXPECT_FALSE(probe->Loading());
    EXPECT_TRUE(probe->scHasCanvas);
    ASSERT_NE(probe->Canvas(), nullptr);
    ASSERT_EQ(probe->scLists.Count(), 1);
    EXPECT_EQ(probe->scLists.GetList(0)->CL_ID, "default");
    EXPECT_TRUE(std::regex_match(probe->ID(), std::regex("TProbe[0-9]{5}"))) << probe->ID();

    auto leaf = TSmartCtrl::Create<TProbe>(nullptr, "leaf", false);
    EXPECT_FALSE(leaf->scHasCanvas);
    EXPECT_EQ(leaf->Canvas(), nullptr);
    EXPECT_TRUE(leaf->ClassIs<TSmartCtrl>());
    EXPECT_TRUE(leaf->ClassIs<TProbe>());
}

// A control made without child lists, as a list's rows are.
class TLeafRow : public TSmartCtrl {
public:
    explicit TLeafRow(TCreateKey key)
        : TSmartCtrl(key, TLeafControl {})
    {
    }
};

TEST(ControlTree, LeafControlsHaveNoListsAndRefuseChildren)
{
    auto parent = TSmartCtrl::Create<TProbe>();
    TLeafRow* const row = parent->AddItem(TSmartCtrl::Create<TLeafRow>());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->scLists.Count(), 0);
    EXPECT_EQ(row->AddItem(TSmartCtrl::Create<TProbe>()), nullptr);
    EXPECT_EQ(row->FindItem("anything"), nullptr);
    EXPECT_TRUE(std::regex_match(row->ID(), std::regex("TLeafRow[0-9]{5}"))) << row->ID();
    // A reference taken late still sees the control go.
    TControlRef const ref(row);
    parent->Controls(0)->Clear();
    EXPECT_FALSE(ref);
}

// Records whether its parent still reads as alive while the parent frees it.
class TParentWatcher : public TSmartCtrl {
public:
    TParentWatcher(TCreateKey key, bool* parentAlive)
        : TSmartCtrl(key)
        , m_parentAlive(parentAlive)
    {
    }
    ~TParentWatcher() override { *m_parentAlive = TControlRef(Parent()).Get() != nullptr; }

private:
    bool* m_parentAlive;
};

TEST(ControlTree, AReferenceTakenWhileAControlIsFreedReadsAsNull)
{
    bool parentAlive = true;
    auto parent = TSmartCtrl::Create<TProbe>();
    parent->AddItem(TSmartCtrl::Create<TParentWatcher>(&parentAlive));
    parent.reset();
    EXPECT_FALSE(parentAlive);
}

TEST(ControlTree, LogicalUnitsAreStoredAsDevicePixels)
{
    TScaleGuard scale(0.4);
    auto probe = TSmartCtrl::Create<TProbe>();
    probe->SetWidth(100);
    EXPECT_EQ(probe->scWidth, 40);
    EXPECT_EQ(probe->Width(), 100);
    probe->SetHeight(50);
    EXPECT_EQ(probe->Canvas()->Width(), 40);
    EXPECT_EQ(probe->Canvas()->Height(), 20);
    probe->SetLeft(-25); // -10 device pixels
    EXPECT_EQ(probe->scLeft, -10);
    EXPECT_EQ(probe->Left(), -25);
    EXPECT_EQ(probe->Right(), 75);
}

TEST(ControlTree, ResizeIsRaisedOnlyWhenTheDeviceSizeChanges)
{
    TScaleGuard scale(0.4);
    auto probe = TSmartCtrl::Create<TProbe>();
    probe->SetWidth(100);
    probe->SetWidth(100);
    EXPECT_EQ(probe->Resizes, 1);
    probe->SetWidth(101); // 40.4 rounds to the same 40 device pixels
    EXPECT_EQ(probe->Resizes, 1);
    probe->SetHeight(50);
    EXPECT_EQ(probe->Resizes, 2);
    probe->SC_VISIBLE = false;
    probe->SetHeight(60);
    EXPECT_EQ(probe->Resizes, 2) << "a hidden control stores the size silently";
    EXPECT_EQ(probe->scHeight, 24);
}

TEST(ControlTree, ListsRefusingDuplicatesFreeTheSecondControl)
{
    auto parent = TSmartCtrl::Create<TProbe>();
    TControlList* list = parent->GetList("rows", true);
    list->SetAddDuplicates(false);
    TProbe* first = parent->AddItem("row", "rows", TSmartCtrl::Create<TProbe>());
    ASSERT_NE(first, nullptr);

    auto second = TSmartCtrl::Create<TProbe>();
    TControlRef watch(second.get());
    EXPECT_EQ(parent->AddItem("row", "rows", std::move(second)), nullptr);
    EXPECT_FALSE(watch) << "the refused control no longer exists";
    EXPECT_EQ(list->Count(), 1);

    // The default list accepts duplicates.
    EXPECT_NE(parent->AddItem("same", TSmartCtrl::Create<TProbe>()), nullptr);
    EXPECT_NE(parent->AddItem("same", TSmartCtrl::Create<TProbe>()), nullptr);
    EXPECT_EQ(parent->Controls(0)->Count(), 2);
}

TEST(ControlTree, TreeBuildingAndLookups)
{
    auto parent = TSmartCtrl::Create<TProbe>();
    TProbe* a = parent->AddItem("a", TSmartCtrl::Create<TProbe>());
    TProbe* b = parent->AddItem(TSmartCtrl::Create<TProbe>(), "second");
    TProbe* c = parent->AddItem("c", "second", TSmartCtrl::Create<TProbe>());
    TSmartCtrl* d = parent->Item_Add(TSmartCtrl::Create<TProbe>(), *parent->Controls("second"), 0);

    EXPECT_EQ(a->Parent(), parent.get());
    EXPECT_EQ(d->Parent(), parent.get());
    EXPECT_EQ(c->scParentList, parent->GetList("second", false));
    TControlList* second = parent->Controls(1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Control(0), d);
    EXPECT_EQ(second->Control(1), b);
    EXPECT_EQ(second->Control(2), c);
    EXPECT_EQ(second->Control(3), nullptr);
    EXPECT_EQ(second->Control(-1), nullptr);
    EXPECT_EQ(second->ControlIDX("c"), 2);
    EXPECT_EQ(second->ControlIDX("C"), -1) << "IDs compare case-sensitively";
    EXPECT_EQ(parent->GetList("missing", false), nullptr);
    EXPECT_EQ(parent->Controls(7), nullptr);

    TSmartCtrl* found = nullptr;
    EXPECT_TRUE(parent->FindItem("c", found));
    EXPECT_EQ(found, c);
    EXPECT_FALSE(parent->FindItem("zzz", found));
    EXPECT_EQ(found, nullptr);

    parent->SC_FOCUSE = a;
    TControlRef watchC(c);
    EXPECT_TRUE(parent->RemoveItem("c"));
    EXPECT_FALSE(watchC);
    EXPECT_EQ(parent->FocusedControl(), nullptr) << "RemoveItem resets the bookkeeping";
    EXPECT_FALSE(parent->RemoveItem("c"));
}

TEST(ControlTree, LinkedListIsShownFirstAndNeverFreed)
{
    TControlList queue("queue");
    queue.AddControl(TSmartCtrl::Create<TProbe>());
    TControlRef entry(queue.Control(0));
    {
        auto page = TSmartCtrl::Create<TProbe>();
        TControlRef own(page->AddItem("own", "Items", TSmartCtrl::Create<TProbe>()));
        page->LinkList("Items", queue);
        EXPECT_FALSE(own) << "the replaced list of the same name was the page's own";
        EXPECT_EQ(page->scLists.GetList(0), &queue);
        EXPECT_EQ(queue.CL_ID, "Items");
        EXPECT_FALSE(queue.AutoFree());
        EXPECT_EQ(page->scLists.Count(), 2);
        page->LinkList("Items", queue); // linking again keeps one entry
        EXPECT_EQ(page->scLists.Count(), 2);
    }
    EXPECT_TRUE(entry) << "freeing the page leaves the linked list's controls alone";
    EXPECT_EQ(queue.Count(), 1);
}

TEST(ControlTree, DestroyingAControlFreesItsChildren)
{
    auto parent = TSmartCtrl::Create<TProbe>();
    TControlRef child(parent->AddItem(TSmartCtrl::Create<TProbe>()));
    TControlRef grandChild(static_cast<TProbe*>(child.Get())->AddItem(TSmartCtrl::Create<TProbe>(), "x"));
    parent.reset();
    EXPECT_FALSE(child);
    EXPECT_FALSE(grandChild);
}

TEST(ControlTree, HitTestingPrefersLaterControlsAndLaterLists)
{
    auto parent = MakeProbe(nullptr, "parent", 0, 0, 200, 200);
    TProbe* under = parent->AddItem(MakeProbe(nullptr, "under", 0, 0, 100, 100));
    TProbe* over = parent->AddItem(MakeProbe(nullptr, "over", 50, 50, 100, 100));
    TProbe* otherList = parent->AddItem(MakeProbe(nullptr, "top", 90, 90, 20, 20), "overlay");

    TInputData in;
    auto at = [&](int x, int y) {
        in.idXPos = x;
        in.idYPos = y;
        return parent->ControlAtXY(in);
    };
    EXPECT_EQ(at(10, 10), under);
    EXPECT_EQ(at(60, 60), over);
    EXPECT_EQ(at(95, 95), otherList);
    EXPECT_EQ(at(150, 150), nullptr) << "right and bottom edges are exclusive";
    EXPECT_EQ(at(149, 149), over);

    otherList->SC_VISIBLE = false;
    EXPECT_EQ(at(95, 95), over) << "hidden controls are never hit";
    over->SC_ENABLED = false;
    EXPECT_EQ(at(95, 95), under) << "disabled controls are never hit";
    parent->Controls("default")->clManual = true;
    EXPECT_EQ(at(10, 10), nullptr) << "manual lists are never hit";

    EXPECT_EQ(parent->ControlAtCursor(10, 10), parent.get());
}

TEST(ControlTree, ControlAtCursorDescendsToTheDeepestControl)
{
    auto root = MakeProbe(nullptr, "root", 0, 0, 300, 300);
    TProbe* panel = root->AddItem(MakeProbe(nullptr, "panel", 100, 100, 100, 100));
    TProbe* button = panel->AddItem(MakeProbe(nullptr, "button", 10, 10, 20, 20));
    EXPECT_EQ(root->ControlAtCursor(115, 115), button);
    EXPECT_EQ(root->ControlAtCursor(150, 150), panel);
    EXPECT_EQ(root->ControlAtCursor(5, 5), root.get());
}

TEST(ControlTree, MouseDispatchMakesPointsLocalAndReturnsTheDeepestHandler)
{
    TLog log;
    auto root = MakeProbe(&log, "root", 10, 20, 300, 300);
    TProbe* panel = root->AddItem(MakeProbe(&log, "panel", 100, 100, 100, 100));
    TProbe* button = panel->AddItem(MakeProbe(&log, "button", 10, 10, 20, 20));
    log.clear();

    TInputData in;
    in.idXPos = 125; // host coordinates: root at (10, 20), panel at (110, 120), button at (120, 130)
    in.idYPos = 135;
    EXPECT_EQ(root->MouseDown(in), button);
    EXPECT_EQ(log, (TLog { "root.MouseDown", "panel.MouseDown", "button.MouseDown" }));
    EXPECT_EQ(button->Inputs.back().idXPos, 5);
    EXPECT_EQ(button->Inputs.back().idYPos, 5);
    EXPECT_EQ(panel->Inputs.back().idXPos, 15);

    // A view that consumes the event keeps it from its children and is the handler.
    log.clear();
    panel->ChildNotify = false;
    EXPECT_EQ(root->MouseUp(in), panel);
    EXPECT_EQ(log, (TLog { "root.MouseUp", "panel.MouseUp" }));

    // The wheel follows the same pattern and carries the delta.
    panel->ChildNotify = true;
    in.idDirection = -240;
    EXPECT_EQ(root->MouseWheel(in), button);
    EXPECT_EQ(button->Inputs.back().idDirection, -240);
}

TEST(ControlTree, DispatchSurvivesAHandlerThatFreesItsOwnPage)
{
    auto root = MakeProbe(nullptr, "root", 0, 0, 300, 300);
    TProbe* page = root->AddItem("page", MakeProbe(nullptr, "page", 0, 0, 200, 200));
    TProbe* button = page->AddItem(MakeProbe(nullptr, "button", 10, 10, 50, 50));
    TProbe* inner = button->AddItem(MakeProbe(nullptr, "inner", 0, 0, 10, 10));
    TControlRef watchPage(page);
    // The button removes the page that holds it (and so itself) and then lets its child see
    // the press, as a careless view might.
    button->OnPress = [&] { root->RemoveItem("page"); };
    (void)inner;

    TInputData in;
    in.idXPos = 15;
    in.idYPos = 15;
    EXPECT_EQ(root->MouseDown(in), nullptr) << "the handler no longer exists";
    EXPECT_FALSE(watchPage);
    EXPECT_EQ(root->Controls(0)->Count(), 0);
}

TEST(ControlTree, VisibilityChangesRepaintTheCoveredArea)
{
    TSmartVCL host(400, 300);
    std::vector<TRect> dirty;
    host.WindowPaint(dirty);

    TProbe* root = host.AddControl("root", MakeProbe(nullptr, "root", 0, 0, 400, 300));
    host.WindowPaint(dirty);
    TProbe* child = root->AddItem(MakeProbe(nullptr, "child", 50, 60, 10, 10));
    child->SetVisible(false);
    EXPECT_FALSE(child->Visible());
    host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(50, 60, 10, 10) })
        << "hiding repaints the area the control covered";

    child->Invalidate(true);
    EXPECT_FALSE(host.WindowNeedsPaint()) << "a hidden control invalidates nothing";

    child->SetVisible(true); // Show invalidates itself and its parent
    host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(0, 0, 400, 300) });
}

TEST(ControlTree, UnFocusReachesEveryVisibleFocusableDescendant)
{
    TLog log;
    auto root = MakeProbe(&log, "root", 0, 0, 100, 100);
    root->scCanFocuse = true;
    TProbe* a = root->AddItem(MakeProbe(&log, "a", 0, 0, 10, 10));
    TProbe* hidden = root->AddItem(MakeProbe(&log, "hidden", 0, 0, 10, 10));
    TProbe* b = root->AddItem(MakeProbe(&log, "b", 0, 0, 10, 10), "second");
    TProbe* deep = a->AddItem(MakeProbe(&log, "deep", 0, 0, 10, 10));
    for (TProbe* p : { a, hidden, b, deep })
        p->scCanFocuse = true;
    hidden->SC_VISIBLE = false;
    a->SC_FOCUSED = deep->SC_FOCUSED = true;
    log.clear();

    root->UnFocus({});
    EXPECT_EQ(log, (TLog { "root.UnFocus", "a.UnFocus", "deep.UnFocus", "b.UnFocus" }));
    EXPECT_FALSE(a->SC_FOCUSED);
    EXPECT_FALSE(deep->SC_FOCUSED);

    // Focus and UnFocus do nothing on controls that cannot take the focus.
    log.clear();
    a->scCanFocuse = false;
    a->Focus({});
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(a->SC_FOCUSED);
}

TEST(ControlTree, AFailingFocusHandlerStillRepaintsTheControl)
{
    class TFailing : public TProbe {
    public:
        using TProbe::TProbe;
        void On_Focus(const TInputData&) override { throw std::runtime_error("view fault"); }
    };
    TSmartVCL host(100, 100);
    std::vector<TRect> dirty;
    TFailing* control = host.AddControl("failing", TSmartCtrl::Create<TFailing>());
    host.WindowPaint(dirty);
    control->SetWidth(10);
    control->SetHeight(10);
    control->scCanFocuse = true;
    EXPECT_NO_THROW(control->Focus({}));
    EXPECT_TRUE(control->SC_FOCUSED);
    EXPECT_TRUE(host.WindowNeedsPaint());
}

TEST(ControlTree, KeysAreForwardedToTheFocusedChild)
{
    TLog log;
    auto root = MakeProbe(&log, "root", 0, 0, 100, 100);
    TProbe* edit = root->AddItem(MakeProbe(&log, "edit", 0, 0, 10, 10));
    root->SetFocusedControl(edit);
    log.clear();
    root->On_KeyDown(8, ssCtrl);
    root->On_KeyPress(U'é');
    EXPECT_EQ(log, (TLog { "root.KeyDown8", "edit.KeyDown8", "root.KeyPress233", "edit.KeyPress233" }));
}

}
}
