#pragma once

// Every skin key the views draw, as named constants the views use, and the same keys listed
// by kind so that a theme can be checked for completeness. Views that build a key from a name
// ("Controls:" + a field's background entry, a playlist's icon) list the values they use.

#include <string_view>

namespace vantor::skin {

namespace controls {
inline constexpr char ControlBar_Back[] = "Controls:ControlBar.Back";
inline constexpr char ControlBar_Bottom_Back[] = "Controls:ControlBar.Bottom.Back";
inline constexpr char CoverBack[] = "Controls:CoverBack";
inline constexpr char PLayerButton[] = "Controls:PLayerButton";
inline constexpr char PLayerButton_Active[] = "Controls:PLayerButton.Active";
inline constexpr char PLayerButton_Pressed[] = "Controls:PLayerButton.Pressed";
inline constexpr char PLayerButtonActive[] = "Controls:PLayerButtonActive";
inline constexpr char PLayerButtonPressed[] = "Controls:PLayerButtonPressed";
inline constexpr char Button_Stop_Down[] = "Controls:Button.Stop.Down";
inline constexpr char Button_Stop_Hot[] = "Controls:Button.Stop.Hot";
inline constexpr char PlayStopOverlay[] = "Controls:PlayStopOverlay";
inline constexpr char TrackProgress_Back[] = "Controls:TrackProgress.Back";
inline constexpr char TrackProgress_Back_Loading[] = "Controls:TrackProgress.Back.Loading";
inline constexpr char TrackProgress_Knob[] = "Controls:TrackProgress.Knob";
inline constexpr char ProgressProgress[] = "Controls:ProgressProgress";
inline constexpr char VolumeProgress_Back[] = "Controls:VolumeProgress.Back";
inline constexpr char VolumeProgress_Back_Level[] = "Controls:VolumeProgress.Back.Level";
inline constexpr char VolumeProgress_Muted[] = "Controls:VolumeProgress.Muted";
inline constexpr char VolumeProgress_Knob[] = "Controls:VolumeProgress.Knob";
inline constexpr char Menu_Tip_Back[] = "Controls:Menu.Tip.Back";
inline constexpr char GroupBar_Back[] = "Controls:GroupBar.Back";
inline constexpr char GroupButton_Active[] = "Controls:GroupButton.Active";
inline constexpr char Track_Back[] = "Controls:Track.Back";
inline constexpr char Track_Left[] = "Controls:Track.Left";
inline constexpr char PlayListItem_Progress[] = "Controls:PlayListItem.Progress";
inline constexpr char MenuPanel_Side[] = "Controls:MenuPanel.Side";
inline constexpr char MenuPanel_Back[] = "Controls:MenuPanel.Back";
inline constexpr char MenuPanel_Top[] = "Controls:MenuPanel.Top";
inline constexpr char TabBar_Back[] = "Controls:TabBar.Back";
inline constexpr char TabBar_Tab_Active[] = "Controls:TabBar.Tab.Active";
inline constexpr char MainWindowActions[] = "Controls:MainWindowActions";
inline constexpr char Menu_Button_Back[] = "Controls:Menu.Button.Back";
inline constexpr char ListItem[] = "Controls:ListItem";
inline constexpr char PlayListItem[] = "Controls:PlayListItem";
inline constexpr char PlaylistItem_Left[] = "Controls:PlaylistItem.Left";
inline constexpr char Edit_Back[] = "Controls:Edit.Back";
inline constexpr char Tags_Back[] = "Controls:Tags.Back";
inline constexpr char Tags_Top[] = "Controls:Tags.Top";
inline constexpr char Tags_Info_Back[] = "Controls:Tags.Info.Back";
inline constexpr char Search_Top_Back[] = "Controls:Search.Top.Back";
inline constexpr char Donate_Back[] = "Controls:Donate.Back";
inline constexpr char ScrollBar_Knob[] = "Controls:ScrollBar.Knob";
inline constexpr char Alphabet_Panel_Back[] = "Controls:Alphabet.Panel.Back";
inline constexpr char Eq_Back[] = "Controls:Eq.Back";
inline constexpr char Eq_Back_Bottom[] = "Controls:Eq.Back.Bottom";
inline constexpr char Eq_Slider_Back[] = "Controls:Eq.Slider.Back";
inline constexpr char Eq_Knob_Back[] = "Controls:Eq.Knob.Back";
inline constexpr char Eq_Gain_Knob[] = "Controls:Eq.Gain.Knob";
inline constexpr char Eq_Curve_Back[] = "Controls:Eq.Curve.Back";
}

namespace icons {
inline constexpr char Icon_Track_64[] = "Icons:Icon.Track.64";
inline constexpr char Icon_CD_74[] = "Icons:Icon.CD.74";
inline constexpr char Icon_Star_Dark_47[] = "Icons:Icon.Star.Dark.47";
inline constexpr char Icon_Star_White_47[] = "Icons:Icon.Star.White.47";
inline constexpr char Icon_Fav_Dark_47[] = "Icons:Icon.Fav.Dark.47";
inline constexpr char Icon_Fav_White_47[] = "Icons:Icon.Fav.White.47";
inline constexpr char Icon_Lyrics_Dark_47[] = "Icons:Icon.Lyrics.Dark.47";
inline constexpr char Icon_Lyrics_White_47[] = "Icons:Icon.Lyrics.White.47";
inline constexpr char Button_Play_64[] = "Icons:Button.Play.64";
inline constexpr char Button_Pause_64[] = "Icons:Button.Pause.64";
inline constexpr char Button_Stop_64[] = "Icons:Button.Stop.64";
inline constexpr char Button_Next_64[] = "Icons:Button.Next.64";
inline constexpr char Button_Prev_64[] = "Icons:Button.Prev.64";
inline constexpr char Button_Shuffle_64[] = "Icons:Button.Shuffle.64";
inline constexpr char Button_Repeat_64[] = "Icons:Button.Repeat.64";
inline constexpr char Button_EQ_64[] = "Icons:Button.EQ.64";
inline constexpr char Button_Mute_64[] = "Icons:Button.Mute.64";
inline constexpr char Icon_Main_74[] = "Icons:Icon.Main.74";
inline constexpr char Window_Close_46[] = "Icons:Window.Close.46";
inline constexpr char Window_Minimize_46[] = "Icons:Window.Minimize.46";
inline constexpr char Window_Maximize_46[] = "Icons:Window.Maximize.46";
inline constexpr char Icon_Track_46[] = "Icons:Icon.Track.46";
inline constexpr char Icon_Singer_46[] = "Icons:Icon.Singer.46";
inline constexpr char Icon_Album_46[] = "Icons:Icon.Album.46";
inline constexpr char Icon_Year_46[] = "Icons:Icon.Year.46";
inline constexpr char Icon_Genre_46[] = "Icons:Icon.Genre.46";
inline constexpr char Icon_BitRate_46[] = "Icons:Icon.BitRate.46";
inline constexpr char Icon_Size_64[] = "Icons:Icon.Size.64";
inline constexpr char Icon_Time_46[] = "Icons:Icon.Time.46";
inline constexpr char Icon_Star_46[] = "Icons:Icon.Star.46";
inline constexpr char Icon_Selected_74[] = "Icons:Icon.Selected.74";
inline constexpr char Icon_NotSelected_74[] = "Icons:Icon.NotSelected.74";
inline constexpr char Icon_Tags_74[] = "Icons:Icon.Tags.74";
inline constexpr char Icon_Lyrics_74[] = "Icons:Icon.Lyrics.74";
inline constexpr char Icon_Lyrics_Empty_74[] = "Icons:Icon.Lyrics.Empty.74";
inline constexpr char Icon_Bin_64[] = "Icons:Icon.Bin.64";
inline constexpr char Icon_Folder_64[] = "Icons:Icon.Folder.64";
inline constexpr char Favorite_Yes[] = "Icons:Favorite.Yes";
inline constexpr char Favorite_no[] = "Icons:Favorite.no";
inline constexpr char Icon_PlayList_46[] = "Icons:Icon.PlayList.46";
inline constexpr char Icon_library_46[] = "Icons:Icon.library.46";
inline constexpr char Icon_Favorites[] = "Icons:Icon.Favorites";
inline constexpr char Icon_Radio_64[] = "Icons:Icon.Radio.64";
inline constexpr char Icon_Top_46[] = "Icons:Icon.Top.46";
inline constexpr char Icon_Queue_46[] = "Icons:Icon.Queue.46";
inline constexpr char Icon_Selected_46[] = "Icons:Icon.Selected.46";
inline constexpr char Icon_Lyrics_46[] = "Icons:Icon.Lyrics.46";
inline constexpr char Icon_Tags_46[] = "Icons:Icon.Tags.46";
inline constexpr char Icon_EQ_46[] = "Icons:Icon.EQ.46";
inline constexpr char Tab_Search_46[] = "Icons:Tab.Search.46";
inline constexpr char Icon_Bin_46[] = "Icons:Icon.Bin.46";
inline constexpr char Icon_Bin_off_46[] = "Icons:Icon.Bin.off.46";
inline constexpr char Icon_Add_46[] = "Icons:Icon.Add.46";
inline constexpr char Icon_Remove_46[] = "Icons:Icon.Remove.46";
inline constexpr char Icon_Menu_46[] = "Icons:Icon.Menu.46";
inline constexpr char Icon_Backward_Back[] = "Icons:Icon.Backward.Back";
inline constexpr char Icon_Refresh_46[] = "Icons:Icon.Refresh.46";
inline constexpr char Icon_Load_46[] = "Icons:Icon.Load.46";
inline constexpr char Icon_Save_46[] = "Icons:Icon.Save.46";
inline constexpr char Icon_RemoveFromList_46[] = "Icons:Icon.RemoveFromList.46";
inline constexpr char Icon_Delete_46[] = "Icons:Icon.Delete.46";
inline constexpr char Icon_Copy_46[] = "Icons:Icon.Copy.46";
inline constexpr char Icon_Cut_46[] = "Icons:Icon.Cut.46";
inline constexpr char Icon_Paste_46[] = "Icons:Icon.Paste.46";
inline constexpr char Icon_Main_166[] = "Icons:Icon.Main.166";
inline constexpr char Settings_About_74[] = "Icons:Settings.About.74";
inline constexpr char Settings_Lang_74[] = "Icons:Settings.Lang.74";
inline constexpr char Settings_Theme_74[] = "Icons:Settings.Theme.74";
inline constexpr char Settings_Lang_46[] = "Icons:Settings.Lang.46";
inline constexpr char Settings_Theme_46[] = "Icons:Settings.Theme.46";
inline constexpr char Paypal_Donate_223[] = "Icons:Paypal.Donate.223";
}

namespace fonts {
inline constexpr char ControlBar_Song_Title[] = "Fonts:ControlBar.Song.Title";
inline constexpr char ControlBar_Song_Artist[] = "Fonts:ControlBar.Song.Artist";
inline constexpr char TrackProgress_Loading[] = "Fonts:TrackProgress.Loading";
inline constexpr char ProgressBar_Song_TimeDisplay[] = "Fonts:ProgressBar.Song.TimeDisplay";
inline constexpr char VolumeProgress_Volume[] = "Fonts:VolumeProgress.Volume";
inline constexpr char Menu_Tip[] = "Fonts:Menu.Tip";
inline constexpr char Item_Title[] = "Fonts:Item.Title";
inline constexpr char Item_Title2[] = "Fonts:Item.Title2";
inline constexpr char Queue_Number[] = "Fonts:Queue.Number";
inline constexpr char Group_Title[] = "Fonts:Group.Title";
inline constexpr char Group_Second_Title[] = "Fonts:Group.Second.Title";
inline constexpr char GroupButton_Title[] = "Fonts:GroupButton.Title";
inline constexpr char MenuPanel_Top_Title[] = "Fonts:MenuPanel.Top.Title";
inline constexpr char Menu_Item_Title[] = "Fonts:Menu.Item.Title";
inline constexpr char Menu_Item_Desc[] = "Fonts:Menu.Item.Desc";
inline constexpr char Tab_Selected_Active[] = "Fonts:Tab.Selected.Active";
inline constexpr char Tab_Selected_Normal[] = "Fonts:Tab.Selected.Normal";
inline constexpr char Search_Result_Count[] = "Fonts:Search.Result.Count";
inline constexpr char Tags_Desc[] = "Fonts:Tags.Desc";
inline constexpr char Lyrics_Text[] = "Fonts:Lyrics.Text";
inline constexpr char Lyrics_Current[] = "Fonts:Lyrics.Current";
inline constexpr char Settings_vantor[] = "Fonts:Settings.vantor";
inline constexpr char Settings_Version[] = "Fonts:Settings.Version";
inline constexpr char Settings_MenuItem[] = "Fonts:Settings.MenuItem";
inline constexpr char GroupLetter_Caption[] = "Fonts:GroupLetter.Caption";
inline constexpr char Eq_Desc[] = "Fonts:Eq.Desc";
inline constexpr char Eq_Scale[] = "Fonts:Eq.Scale";
}

namespace colors {
inline constexpr char Playlist_Back[] = "Color:Playlist.Back";
inline constexpr char Eq_Curve[] = "Color:Eq.Curve";
inline constexpr char Eq_Curve_Fill[] = "Color:Eq.Curve.Fill";
inline constexpr char Eq_Grid[] = "Color:Eq.Grid";
inline constexpr char Eq_Grid_Zero[] = "Color:Eq.Grid.Zero";
}

}

namespace vantor {

inline constexpr std::string_view SkinImageKeys[] = {
    // main window and control bars
    skin::controls::ControlBar_Back,
    skin::controls::ControlBar_Bottom_Back,
    skin::controls::CoverBack,
    skin::controls::PLayerButton,
    skin::controls::PLayerButton_Active,
    skin::controls::PLayerButton_Pressed,
    skin::controls::PLayerButtonActive,
    skin::controls::PLayerButtonPressed,
    skin::controls::Button_Stop_Down,
    skin::controls::Button_Stop_Hot,
    skin::controls::PlayStopOverlay,
    skin::controls::TrackProgress_Back,
    skin::controls::TrackProgress_Back_Loading,
    skin::controls::TrackProgress_Knob,
    skin::controls::ProgressProgress,
    skin::controls::VolumeProgress_Back,
    skin::controls::VolumeProgress_Back_Level,
    skin::controls::VolumeProgress_Muted,
    skin::controls::VolumeProgress_Knob,
    skin::controls::Menu_Tip_Back,
    skin::icons::Icon_Track_64,
    skin::icons::Icon_CD_74,
    skin::icons::Icon_Star_Dark_47,
    skin::icons::Icon_Star_White_47,
    skin::icons::Icon_Fav_Dark_47,
    skin::icons::Icon_Fav_White_47,
    skin::icons::Icon_Lyrics_Dark_47,
    skin::icons::Icon_Lyrics_White_47,
    skin::icons::Button_Play_64,
    skin::icons::Button_Pause_64,
    skin::icons::Button_Stop_64,
    skin::icons::Button_Next_64,
    skin::icons::Button_Prev_64,
    skin::icons::Button_Shuffle_64,
    skin::icons::Button_Repeat_64,
    skin::icons::Button_EQ_64,
    skin::icons::Button_Mute_64,
    skin::icons::Icon_Main_74,
    skin::icons::Window_Close_46,
    skin::icons::Window_Minimize_46,
    skin::icons::Window_Maximize_46,
    // playlist bar, playlists and track rows
    skin::controls::GroupBar_Back,
    skin::controls::GroupButton_Active,
    skin::controls::Track_Back,
    skin::controls::Track_Left,
    skin::controls::PlayListItem_Progress,
    skin::icons::Icon_Track_46,
    skin::icons::Icon_Singer_46,
    skin::icons::Icon_Album_46,
    skin::icons::Icon_Year_46,
    skin::icons::Icon_Genre_46,
    skin::icons::Icon_BitRate_46,
    skin::icons::Icon_Size_64,
    skin::icons::Icon_Time_46,
    skin::icons::Icon_Star_46,
    skin::icons::Icon_Selected_74,
    skin::icons::Icon_NotSelected_74,
    skin::icons::Icon_Tags_74,
    skin::icons::Icon_Lyrics_74,
    skin::icons::Icon_Lyrics_Empty_74,
    skin::icons::Icon_Bin_64,
    skin::icons::Icon_Folder_64,
    skin::icons::Favorite_Yes,
    skin::icons::Favorite_no,
    skin::icons::Icon_PlayList_46,
    skin::icons::Icon_library_46,
    skin::icons::Icon_Favorites,
    skin::icons::Icon_Radio_64,
    skin::icons::Icon_Top_46,
    // side menu, page frame and pages
    skin::controls::MenuPanel_Side,
    skin::controls::MenuPanel_Back,
    skin::controls::MenuPanel_Top,
    skin::controls::TabBar_Back,
    skin::controls::TabBar_Tab_Active,
    skin::controls::MainWindowActions,
    skin::controls::Menu_Button_Back,
    skin::controls::ListItem,
    skin::controls::PlayListItem,
    skin::controls::PlaylistItem_Left,
    skin::controls::Edit_Back,
    skin::icons::Icon_Queue_46,
    skin::icons::Icon_Selected_46,
    skin::icons::Icon_Lyrics_46,
    skin::icons::Icon_Tags_46,
    skin::icons::Icon_EQ_46,
    skin::icons::Tab_Search_46,
    skin::icons::Icon_Bin_46,
    skin::icons::Icon_Bin_off_46,
    skin::icons::Icon_Add_46,
    skin::icons::Icon_Remove_46,
    skin::icons::Icon_Menu_46,
    skin::icons::Icon_Backward_Back,
    skin::icons::Icon_Refresh_46,
    skin::icons::Icon_Load_46,
    skin::icons::Icon_Save_46,
    skin::icons::Icon_RemoveFromList_46,
    skin::icons::Icon_Delete_46,
    skin::icons::Icon_Copy_46,
    skin::icons::Icon_Cut_46,
    skin::icons::Icon_Paste_46,
    // tag editor and lyrics
    skin::controls::Tags_Back,
    skin::controls::Tags_Top,
    skin::controls::Tags_Info_Back,
    // settings, themes, languages, about
    skin::controls::Search_Top_Back,
    skin::controls::Donate_Back,
    skin::icons::Icon_Main_166,
    skin::icons::Settings_About_74,
    skin::icons::Settings_Lang_74,
    skin::icons::Settings_Theme_74,
    skin::icons::Settings_Lang_46,
    skin::icons::Settings_Theme_46,
    skin::icons::Paypal_Donate_223,
    // scroll bar and alphabet panel
    skin::controls::ScrollBar_Knob,
    skin::controls::Alphabet_Panel_Back,
    // equalizer
    skin::controls::Eq_Back,
    skin::controls::Eq_Back_Bottom,
    skin::controls::Eq_Slider_Back,
    skin::controls::Eq_Knob_Back,
    skin::controls::Eq_Gain_Knob,
    skin::controls::Eq_Curve_Back,
};

inline constexpr std::string_view SkinFontKeys[] = {
    skin::fonts::ControlBar_Song_Title,
    skin::fonts::ControlBar_Song_Artist,
    skin::fonts::TrackProgress_Loading,
    skin::fonts::ProgressBar_Song_TimeDisplay,
    skin::fonts::VolumeProgress_Volume,
    skin::fonts::Menu_Tip,
    skin::fonts::Item_Title,
    skin::fonts::Item_Title2,
    skin::fonts::Queue_Number,
    skin::fonts::Group_Title,
    skin::fonts::Group_Second_Title,
    skin::fonts::GroupButton_Title,
    skin::fonts::MenuPanel_Top_Title,
    skin::fonts::Menu_Item_Title,
    skin::fonts::Menu_Item_Desc,
    skin::fonts::Tab_Selected_Active,
    skin::fonts::Tab_Selected_Normal,
    skin::fonts::Search_Result_Count,
    skin::fonts::Tags_Desc,
    skin::fonts::Lyrics_Text,
    skin::fonts::Lyrics_Current,
    skin::fonts::Settings_vantor,
    skin::fonts::Settings_Version,
    skin::fonts::Settings_MenuItem,
    skin::fonts::GroupLetter_Caption,
    skin::fonts::Eq_Desc,
    skin::fonts::Eq_Scale,
};

inline constexpr std::string_view SkinColorKeys[] = {
    skin::colors::Playlist_Back,
    skin::colors::Eq_Curve,
    skin::colors::Eq_Curve_Fill,
    skin::colors::Eq_Grid,
    skin::colors::Eq_Grid_Zero,
};

}
