#include "ui/views/menu/QueueFilePages.h"

#include "library/PlayerSession.h"
#include "platform/window/MessageBox.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"

#include <utility>

namespace vantor {

namespace {

constexpr int kMargin = 10;

std::string Text(const TViewContext& context, std::string_view key)
{
    return context.Session ? context.Session->Text(key) : std::string(key);
}

}

TQueueFileItem::TQueueFileItem(
    TCreateKey key, const TViewContext& context, TQueueFileInfo info, std::function<void()> action)
    : TSmartCtrl(key)
    , Info(std::move(info))
    , m_context(&context)
    , m_action(std::move(action))
{
}

void TQueueFileItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(
        m_state == bsNormal ? skin::controls::PlayListItem : skin::controls::ListItem, Canvas, "TQueueFileItem", area);
    int const middle = area.Top + area.Height() / 2;
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    theme->TextOut(Info.Caption, skin::fonts::Menu_Item_Title, flags,
        { area.Left + 30, area.Top, area.Right - 150, middle }, Canvas);
    theme->TextOut(Info.Description, skin::fonts::Menu_Item_Desc, flags,
        { area.Left + 30, middle, area.Right - 150, area.Bottom }, Canvas);
    theme->TextOut(Info.Count + " " + Text(*m_context, "PlayList.Tracks"), skin::fonts::Menu_Item_Desc,
        tfRight | tfVCenter | tfSingleLine, { area.Right - 150, area.Top, area.Right - 30, area.Bottom }, Canvas);
}

void TQueueFileItem::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    m_state = bsActive;
    Invalidate(false);
}

void TQueueFileItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    m_state = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TQueueFileItem::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    // The action leaves the page, which refills it: nothing of this entry is touched after.
    std::function<void()> const action = m_action;
    if (action)
        action();
    return nullptr;
}

TQueueFilesHolder::TQueueFilesHolder(
    TCreateKey key, const TViewContext& context, std::filesystem::path folder, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.LoadQueue")
    , m_folder(std::move(folder))
    , m_back(std::move(back))
{
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
}

void TQueueFilesHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    for (TQueueFileInfo& info : TPlayQueue::ListQueueFiles(m_folder)) {
        std::string const path = info.Path;
        mhItemContainer->AddItem(Create<TQueueFileItem>(Context(), std::move(info), [this, path] {
            if (Context().Session && Context().PlayLists)
                Context().Session->Queue().LoadQueueFile(path, Context().PlayLists->PlayLists());
            if (m_back)
                m_back();
        }));
    }
    TMenuHolder::LoadMenu();
}

TQueueSaveHolder::TQueueSaveHolder(
    TCreateKey key, const TViewContext& context, std::filesystem::path folder, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.SaveQueue")
    , m_folder(std::move(folder))
    , m_back(std::move(back))
{
    qsName = AddItem(Create<TSmartEdit>(&context), "TopList");
    qsName->seShowDescription = true;
    qsName->seDescText = "Menu.QueueName";
    qsDescription = AddItem(Create<TSmartEdit>(&context), "TopList");
    qsDescription->seShowDescription = true;
    qsDescription->seDescText = "Menu.QueueDesc";
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
    AddButton("Icon.Save.46", "Button.SaveQueue", asRight, [this](TMenuButton&, const TInputData&) {
        if (Save() && m_back)
            m_back();
    });
}

bool TQueueSaveHolder::Save()
{
    if (!Context().Session)
        return false;
    IMessageBox* const messages = Context().Messages;
    if (qsName->seText.empty()) {
        if (messages)
            messages->Show(TMessageKind::mkInfo, Text(Context(), "Messages.QueueName!"));
        return false;
    }
    // A fresh installation has no queue folder yet.
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    std::string const path = Context().Session->Queue().SaveQueueFile(m_folder, qsName->seText, qsDescription->seText);
    if (path.empty()) {
        if (messages)
            messages->Show(TMessageKind::mkError, "Unable to write to " + m_folder.string());
        return false;
    }
    return true;
}

void TQueueSaveHolder::LoadMenu()
{
    qsName->SetText({});
    qsDescription->SetText({});
    TMenuHolder::LoadMenu();
}

void TQueueSaveHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    // The fields' placeholders name them.
    int top = BarHeight + kMargin;
    for (TSmartEdit* field : { qsName, qsDescription }) {
        field->SetPosition(kMargin, top);
        field->SetWidth(Width() - 2 * kMargin);
        field->SetHeight(FieldHeight);
        top += FieldHeight + kMargin;
    }
}

}
