#include "platform/shell/GioShell.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(Shell, FileClipboardTextNamesTheVerbAndEncodesEveryPath)
{
    std::string const text = FileClipboardText({ "/music/a b.mp3", "/music/ü#%.flac" }, TClipboardVerb::cvCut);
    EXPECT_EQ(text,
        "x-special/nautilus-clipboard\ncut\n"
        "file:///music/a%20b.mp3\n"
        "file:///music/%C3%BC%23%25.flac\n");
    EXPECT_EQ(FileClipboardText({ "/x" }, TClipboardVerb::cvCopy), "x-special/nautilus-clipboard\ncopy\nfile:///x\n");
}

TEST(Shell, FilePathFromUriTakesLocalFilesOnly)
{
    struct TCase {
        std::string Uri;
        std::optional<std::string> Path;
    };
    for (TCase const& c : std::vector<TCase> {
             { "file:///music/a%20b.mp3", "/music/a b.mp3" },
             { "file://localhost/music/%C3%BC.flac", "/music/\xC3\xBC.flac" },
             { FileUri("/m/#?%.ogg"), "/m/#?%.ogg" },
             { "file://server/music/a.mp3", std::nullopt },
             { "http://example.com/a.mp3", std::nullopt },
             { "file:relative.mp3", std::nullopt },
             { "file:///music/%00.mp3", std::nullopt },
             { std::string("file:///a\0b", 11), std::nullopt },
         })
        EXPECT_EQ(FilePathFromUri(c.Uri), c.Path) << c.Uri;
}

// The trash lives under XDG_DATA_HOME, pointed into the scratch folder before GLib reads it,
// so the user's own trash is never touched.
TEST(Shell, MoveToTrashFollowsTheFreedesktopLayout)
{
    const char* tmp = std::getenv("VANTOR_TEST_TMP");
    ASSERT_NE(tmp, nullptr);
    fs::path const root = fs::path(tmp) / "trash";
    fs::remove_all(root);
    fs::create_directories(root / "data");
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    fs::path const song = root / "Song.mp3";
    std::ofstream(song) << "audio";

    TGioShell shell;
    ASSERT_TRUE(shell.MoveToTrash(song.string()));
    EXPECT_FALSE(fs::exists(song));
    EXPECT_TRUE(fs::exists(root / "data/Trash/files/Song.mp3"));
    EXPECT_TRUE(fs::exists(root / "data/Trash/info/Song.mp3.trashinfo"));
    EXPECT_FALSE(shell.MoveToTrash(song.string())) << "a file that is gone cannot be trashed";
}

TEST(Shell, DescribesContentTypesAndRefusesNonWebAddresses)
{
    TGioShell shell;
    EXPECT_FALSE(shell.ContentTypeDescription(std::string(VANTOR_TEST_DATA) + "/audio/sine.mp3").empty());
    EXPECT_FALSE(shell.OpenWebPage("file:///etc/passwd"));
    EXPECT_FALSE(shell.OpenWebPage("javascript:alert(1)"));
}

// Without a session bus the folder dialog is zenity's; a stand-in on PATH plays the user.
class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tmp = std::getenv("VANTOR_TEST_TMP");
        ASSERT_NE(tmp, nullptr);
        // Cases of one binary may run side by side: each takes a folder of its own.
        Root =
            fs::path(tmp) / ("picker-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(Root);
        fs::create_directories(Root / "bin");
        fs::create_directories(Root / "Music Folder");
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + (Root / "no-bus").string()).c_str(), 1);
        setenv("PATH", (Root / "bin").c_str(), 1);
    }

    // A zenity that records its arguments, then runs body.
    void Zenity(const std::string& body) const
    {
        fs::path const script = Root / "bin/zenity";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << (Root / "args").string() << "'\n"
                              << body << "\n";
        fs::permissions(script, fs::perms::owner_all);
    }

    // Opens the dialog and runs the shell's answers until one came (or 10 s passed).
    std::optional<TFolderPick> Pick(TGioShell& shell) const
    {
        std::optional<TFolderPick> answer;
        int calls = 0;
        EXPECT_TRUE(shell.PickFolder("Selected Folder", "Select Folder", [&](const TFolderPick& pick) {
            answer = pick;
            ++calls;
        }));
        EXPECT_FALSE(answer) << "the answer never comes from inside PickFolder";
        EXPECT_FALSE(shell.PickFolder("Selected Folder", "Select Folder", [](const TFolderPick&) {}))
            << "one dialog at a time";
        auto const end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!answer && std::chrono::steady_clock::now() < end) {
            shell.Dispatch();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        shell.Dispatch();
        EXPECT_LE(calls, 1);
        return answer;
    }

    std::string Args() const
    {
        std::ifstream in(Root / "args");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path Root;
};

TEST_F(FolderPicker, ZenityAnswersWithAnExistingFolderOnly)
{
    std::string const folder = (Root / "Music Folder").string();
    struct TCase {
        std::string Body;
        TFolderPickResult Result;
        std::string Path;
    };
    for (TCase const& c : std::vector<TCase> {
             { "echo '" + folder + "'", TFolderPickResult::fpPicked, folder },
             { "exit 1", TFolderPickResult::fpCancelled, "" },
             { "echo '" + folder + "/gone'", TFolderPickResult::fpCancelled, "" },
             { "echo 'relative'", TFolderPickResult::fpCancelled, "" },
             { "exit 255", TFolderPickResult::fpUnavailable, "" },
         }) {
        SCOPED_TRACE(c.Body);
        Zenity(c.Body);
        TGioShell shell;
        std::optional<TFolderPick> const pick = Pick(shell);
        ASSERT_TRUE(pick);
        EXPECT_EQ(pick->Result, c.Result);
        EXPECT_EQ(pick->Path, c.Path);
        EXPECT_EQ(Args(), "--file-selection\n--directory\n--title=Selected Folder\n");
    }
}

TEST_F(FolderPicker, NoDialogAtAllIsSaidSo)
{
    TGioShell shell;
    std::optional<TFolderPick> const pick = Pick(shell);
    ASSERT_TRUE(pick);
    EXPECT_EQ(pick->Result, TFolderPickResult::fpUnavailable);
    // The shell takes the next dialog after an answer.
    EXPECT_TRUE(Pick(shell));
}

TEST_F(FolderPicker, AShellThatGoesClosesItsDialogWithoutAnswering)
{
    Zenity("PATH=/usr/bin:/bin sleep 30");
    bool answered = false;
    auto const start = std::chrono::steady_clock::now();
    {
        TGioShell shell;
        ASSERT_TRUE(shell.PickFolder("Selected Folder", "Select Folder", [&](const TFolderPick&) { answered = true; }));
        for (int n = 0; n < 20; ++n) {
            shell.Dispatch();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    EXPECT_FALSE(answered);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << "the dialog was not closed";
}

// A desktop portal on a private bus: its file chooser notes how it was asked and answers
// through the Request object, as the real one does once the user closed its dialog.
class FolderPortal : public ::testing::Test {
protected:
    static constexpr char kIntrospection[] = "<node><interface name='org.freedesktop.portal.FileChooser'>"
                                             "<method name='OpenFile'><arg type='s' direction='in'/>"
                                             "<arg type='s' direction='in'/><arg type='a{sv}' direction='in'/>"
                                             "<arg type='o' direction='out'/></method></interface></node>";

    void SetUp() override
    {
        Bus = g_test_dbus_new(G_TEST_DBUS_NONE);
        g_test_dbus_up(Bus);
        Portal = g_dbus_connection_new_for_address_sync(g_test_dbus_get_bus_address(Bus),
            static_cast<GDBusConnectionFlags>(
                G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, nullptr);
        ASSERT_NE(Portal, nullptr);
        Node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static GDBusInterfaceVTable const vtable { &FolderPortal::OpenFile, nullptr, nullptr, {} };
        Registration = g_dbus_connection_register_object(
            Portal, "/org/freedesktop/portal/desktop", Node->interfaces[0], &vtable, this, nullptr, nullptr);
        GVariant* const owned = g_dbus_connection_call_sync(Portal, "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", "RequestName", g_variant_new("(su)", "org.freedesktop.portal.Desktop", 0u), nullptr,
            G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        ASSERT_NE(owned, nullptr);
        g_variant_unref(owned);
    }

    void TearDown() override
    {
        if (Registration)
            g_dbus_connection_unregister_object(Portal, Registration);
        if (Node)
            g_dbus_node_info_unref(Node);
        if (Portal) {
            g_dbus_connection_close_sync(Portal, nullptr, nullptr);
            g_object_unref(Portal);
        }
        while (g_main_context_iteration(nullptr, FALSE)) { }
        g_test_dbus_down(Bus);
        g_object_unref(Bus);
    }

    static void OpenFile(GDBusConnection* connection, const gchar* sender, const gchar*, const gchar*, const gchar*,
        GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data)
    {
        auto* const self = static_cast<FolderPortal*>(data);
        const char* title = nullptr;
        GVariant* options = nullptr;
        g_variant_get(parameters, "(&s&s@a{sv})", nullptr, &title, &options);
        self->Title = title;
        const char* token = "";
        const char* label = "";
        gboolean directory = FALSE;
        g_variant_lookup(options, "handle_token", "&s", &token);
        g_variant_lookup(options, "accept_label", "&s", &label);
        g_variant_lookup(options, "directory", "b", &directory);
        self->AcceptLabel = label;
        self->Directory = directory;
        std::string name = sender + 1;
        for (char& c : name)
            if (c == '.')
                c = '_';
        std::string const path = "/org/freedesktop/portal/desktop/request/" + name + "/" + token;
        g_variant_unref(options);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", path.c_str()));
        GVariantBuilder results;
        g_variant_builder_init(&results, G_VARIANT_TYPE_VARDICT);
        if (!self->Uri.empty()) {
            const char* const uris[] = { self->Uri.c_str(), nullptr };
            g_variant_builder_add(&results, "{sv}", "uris", g_variant_new_strv(uris, -1));
        }
        g_dbus_connection_emit_signal(connection, sender, path.c_str(), "org.freedesktop.portal.Request", "Response",
            g_variant_new("(ua{sv})", self->Response, &results), nullptr);
    }

    // Runs both sides until the shell answered (or 10 s passed).
    std::optional<TFolderPick> Pick(TGioShell& shell)
    {
        std::optional<TFolderPick> answer;
        EXPECT_TRUE(
            shell.PickFolder("Selected Folder", "Select Folder", [&](const TFolderPick& pick) { answer = pick; }));
        auto const end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!answer && std::chrono::steady_clock::now() < end) {
            while (g_main_context_iteration(nullptr, FALSE)) { }
            shell.Dispatch();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return answer;
    }

    GTestDBus* Bus = nullptr;
    GDBusConnection* Portal = nullptr;
    GDBusNodeInfo* Node = nullptr;
    guint Registration = 0;
    guint32 Response = 0;
    std::string Uri;
    std::string Title;
    std::string AcceptLabel;
    bool Directory = false;
};

TEST_F(FolderPortal, TheFileChooserIsAskedForAFolderAndItsAnswerTaken)
{
    const char* tmp = std::getenv("VANTOR_TEST_TMP");
    ASSERT_NE(tmp, nullptr);
    fs::path const folder = fs::path(tmp) / "portal/Caf\xC3\xA9 #1";
    fs::create_directories(folder);
    struct TCase {
        guint32 Response;
        std::string Uri;
        TFolderPickResult Result;
        std::string Path;
    };
    for (TCase const& c : std::vector<TCase> {
             { 0, FileUri(folder.string()), TFolderPickResult::fpPicked, folder.string() },
             { 1, "", TFolderPickResult::fpCancelled, "" },
             { 2, "", TFolderPickResult::fpCancelled, "" },
             { 0, "https://example.com/music", TFolderPickResult::fpCancelled, "" },
             { 0, FileUri((folder / "gone").string()), TFolderPickResult::fpCancelled, "" },
         }) {
        SCOPED_TRACE(c.Uri);
        Response = c.Response;
        Uri = c.Uri;
        TGioShell shell;
        std::optional<TFolderPick> const pick = Pick(shell);
        ASSERT_TRUE(pick);
        EXPECT_EQ(pick->Result, c.Result);
        EXPECT_EQ(pick->Path, c.Path);
        EXPECT_EQ(Title, "Selected Folder");
        EXPECT_EQ(AcceptLabel, "Select Folder");
        EXPECT_TRUE(Directory);
    }
}

}
}
