#pragma once

// The pages of saved queues: the list of queue files (a press loads one into the queue) and
// the page that saves the queue under a name and a description.

#include "library/PlayQueue.h"
#include "ui/views/menu/MenuHolder.h"

#include <filesystem>
#include <functional>

namespace vantor {

class TSmartEdit;

class TQueueFileItem : public TSmartCtrl {
public:
    TQueueFileItem(TCreateKey key, const TViewContext& context, TQueueFileInfo info, std::function<void()> action);
    TQueueFileInfo Info;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    std::function<void()> m_action;
    TButtonState m_state = bsNormal;
};

class TQueueFilesHolder : public TMenuHolder {
public:
    // folder: where the queue files are; back: returns to the queue page.
    TQueueFilesHolder(
        TCreateKey key, const TViewContext& context, std::filesystem::path folder, std::function<void()> back);
    void LoadMenu() override;

private:
    std::filesystem::path m_folder;
    std::function<void()> m_back;
};

class TQueueSaveHolder : public TMenuHolder {
public:
    static constexpr int FieldHeight = 75;

    TQueueSaveHolder(
        TCreateKey key, const TViewContext& context, std::filesystem::path folder, std::function<void()> back);

    TSmartEdit* qsName = nullptr;        // a child, in the list "TopList"
    TSmartEdit* qsDescription = nullptr; // a child, in the list "TopList"

    // Writes the queue under the entered name; false (and the page stays) when nothing was
    // written.
    bool Save();
    void LoadMenu() override;

protected:
    void On_Arrange() override;

private:
    std::filesystem::path m_folder;
    std::function<void()> m_back;
};

}
