#pragma once

// TPlayListBar: the strip above the playlists with the nine buttons that regroup the current
// list (track, artist, album, year, genre, bitrate, size, duration, rating). A press on the
// mode shown turns the order round.

#include "library/GroupData.h"
#include "ui/framework/SmartCtrl.h"

#include <string>

namespace vantor {

struct TViewContext;

class TGroupButton : public TSmartCtrl {
public:
    TGroupButton(TCreateKey key, const TViewContext& context, TGroupMode mode);

    TGroupMode gbGroupMode;
    bool gbHot = false;    // under the pointer
    std::string gbCaption; // language key

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TPlayListBar : public TSmartCtrl {
public:
    static constexpr int BarHeight = 100;
    static constexpr int ButtonCount = 9;

    explicit TPlayListBar(TCreateKey key, const TViewContext& context);

    TGroupButton* Button(int index) const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;

private:
    const TViewContext* m_context; // non-owning
};

}
