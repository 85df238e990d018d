#include "platform/mpris/MprisService.h"

#include "tests/support/Requirements.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

namespace vantor {
namespace {

constexpr char kBusName[] = "org.mpris.MediaPlayer2.vantor";
constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRoot[] = "org.mpris.MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr auto kDeadline = std::chrono::seconds(10);

// A session bus of the test program's own, so that the service never meets the user's.
class TPrivateBus {
public:
    TPrivateBus()
    {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!daemon)
            return;
        char address[512] = {};
        char pid[32] = {};
        if (std::fgets(address, sizeof address, daemon) && std::fgets(pid, sizeof pid, daemon)) {
            Address = address;
            Address.erase(Address.find_last_not_of('\n') + 1);
            m_pid = static_cast<pid_t>(std::atoi(pid));
        }
        ::pclose(daemon);
    }
    ~TPrivateBus()
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGTERM);
    }
    TPrivateBus(TPrivateBus const&) = delete;
    TPrivateBus& operator=(TPrivateBus const&) = delete;

    std::string Address; // empty: no bus
private:
    pid_t m_pid = 0;
};

// What the service asked of the player, and what the player tells it.
struct TFakePlayer {
    std::map<std::string, int> Calls;
    std::optional<double> VolumeSet;
    std::string Status = "Paused";
    TMprisMetadata Track { "/org/vantor/track/7", "Título", "Artist", "Album", 61000000, "file:///music/a.flac", 3,
        "Band", "Jazz", "file:///cache/cover.jpg" };
    bool Seekable = false;
    int64_t Position = 5000000;
    std::vector<int64_t> PositionsSet;
    bool ShuffleOn = false;
    std::string Loop = "None";

    TMprisPlayer Callbacks()
    {
        TMprisPlayer p;
        auto count = [this](char const* name) { return [this, name] { ++Calls[name]; }; };
        p.PlayPause = count("PlayPause");
        p.Play = count("Play");
        p.Pause = count("Pause");
        p.Stop = count("Stop");
        p.Next = count("Next");
        p.Previous = count("Previous");
        p.Raise = count("Raise");
        p.Quit = count("Quit");
        p.PlaybackStatus = [this] { return Status; };
        p.Metadata = [this] { return Track; };
        p.Volume = [] { return 0.5; };
        p.SetVolume = [this](double volume) { VolumeSet = volume; };
        p.CanGoNext = [] { return true; };
        p.CanGoPrevious = [] { return false; };
        p.PositionMicroseconds = [this] { return Position; };
        p.CanSeek = [this] { return Seekable; };
        p.SetPositionMicroseconds = [this](int64_t position) {
            PositionsSet.push_back(position);
            Position = position;
            return true;
        };
        p.Shuffle = [this] { return ShuffleOn; };
        p.SetShuffle = [this](bool on) { ShuffleOn = on; };
        p.LoopStatus = [this] { return Loop; };
        p.SetLoopStatus = [this](std::string const& status) { Loop = status; };
        return p;
    }
};

class MprisServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Bus = new TPrivateBus; }
    static void TearDownTestSuite()
    {
        delete Bus;
        Bus = nullptr;
    }

    void SetUp() override
    {
        if (Bus->Address.empty()) {
            VANTOR_SKIP_UNLESS_CI("dbus-daemon could not start a private bus");
        }
        ::setenv("DBUS_SESSION_BUS_ADDRESS", Bus->Address.c_str(), 1);
        Service = std::make_unique<TMprisService>(Player.Callbacks());
        ASSERT_TRUE(Service->Available());
        GError* error = nullptr;
        Client = g_dbus_connection_new_for_address_sync(Bus->Address.c_str(),
            static_cast<GDBusConnectionFlags>(
                G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        ASSERT_NE(Client, nullptr) << (error ? error->message : "");
        // The name is taken once the service has dispatched the bus's answer.
        auto const until = std::chrono::steady_clock::now() + kDeadline;
        while (!NameOwned()) {
            ASSERT_LT(std::chrono::steady_clock::now(), until) << "the service never took its name";
            Service->Dispatch();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void TearDown() override
    {
        if (Client) {
            g_dbus_connection_close_sync(Client, nullptr, nullptr);
            g_object_unref(Client);
        }
        Service.reset();
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }

    bool NameOwned()
    {
        GVariant* reply = g_dbus_connection_call_sync(Client, "org.freedesktop.DBus", "/org/freedesktop/DBus",
            "org.freedesktop.DBus", "NameHasOwner", g_variant_new("(s)", kBusName), G_VARIANT_TYPE("(b)"),
            G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
        if (!reply)
            return false;
        gboolean owned = FALSE;
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
        return owned;
    }

    // Calls the service from a client thread while this thread, its UI thread, dispatches;
    // the reply (owned by the caller), or null with the error's text in Error.
    GVariant* Call(char const* interface, char const* method, GVariant* arguments = nullptr)
    {
        std::atomic<bool> answered { false };
        GVariant* reply = nullptr;
        GError* error = nullptr;
        std::thread client([&] {
            reply = g_dbus_connection_call_sync(Client, kBusName, kObjectPath, interface, method, arguments, nullptr,
                G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, &error);
            answered = true;
        });
        while (!answered) { // bounded by the call's own 5 s timeout
            Service->Dispatch();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        client.join();
        Error = error ? error->message : "";
        g_clear_error(&error);
        return reply;
    }

    // A property's value (owned by the caller), or null.
    GVariant* Get(char const* interface, char const* name)
    {
        GVariant* reply = Call("org.freedesktop.DBus.Properties", "Get", g_variant_new("(ss)", interface, name));
        if (!reply)
            return nullptr;
        GVariant* value = nullptr;
        g_variant_get(reply, "(v)", &value);
        g_variant_unref(reply);
        return value;
    }

    std::string GetString(char const* interface, char const* name)
    {
        GVariant* value = Get(interface, name);
        std::string text =
            value && g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ? g_variant_get_string(value, nullptr) : "";
        if (value)
            g_variant_unref(value);
        return text;
    }

    inline static TPrivateBus* Bus = nullptr;
    TFakePlayer Player;
    std::unique_ptr<TMprisService> Service;
    GDBusConnection* Client = nullptr;
    std::string Error;
};

TEST_F(MprisServiceTest, EachMethodReachesItsAction)
{
    struct TCase {
        char const* Interface;
        char const* Method;
    };
    for (TCase const c :
        { TCase { kPlayer, "PlayPause" }, { kPlayer, "Play" }, { kPlayer, "Pause" }, { kPlayer, "Stop" },
            { kPlayer, "Next" }, { kPlayer, "Previous" }, { kRoot, "Raise" }, { kRoot, "Quit" } }) {
        SCOPED_TRACE(c.Method);
        Player.Calls.clear();
        GVariant* reply = Call(c.Interface, c.Method);
        ASSERT_NE(reply, nullptr) << Error;
        g_variant_unref(reply);
        EXPECT_EQ(Player.Calls, (std::map<std::string, int> { { c.Method, 1 } }));
    }
    // Without a track that can seek, seeking does nothing; opening a URI is refused with an
    // error.
    Player.Calls.clear();
    GVariant* reply = Call(kPlayer, "Seek", g_variant_new("(x)", int64_t(1000000)));
    ASSERT_NE(reply, nullptr) << Error;
    g_variant_unref(reply);
    EXPECT_EQ(Call(kPlayer, "OpenUri", g_variant_new("(s)", "file:///a.mp3")), nullptr);
    EXPECT_NE(Error.find("NotSupported"), std::string::npos) << Error;
    EXPECT_TRUE(Player.Calls.empty());
    EXPECT_TRUE(Player.PositionsSet.empty());
}

// Seek moves relative to the position (never before the start; past the end is the next
// track), SetPosition only within the track it names; each move is told by Seeked.
TEST_F(MprisServiceTest, SeekAndSetPositionStayWithinTheTrack)
{
    int64_t seeked = -1;
    guint const subscription = g_dbus_connection_signal_subscribe(
        Client, nullptr, kPlayer, "Seeked", kObjectPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, char const*, char const*, char const*, char const*, GVariant* parameters, gpointer data) {
            g_variant_get(parameters, "(x)", static_cast<int64_t*>(data));
        },
        &seeked, nullptr);
    Player.Seekable = true;
    struct TCase {
        char const* Method;
        GVariant* (*Arguments)();
        std::vector<int64_t> Set; // the positions the player was given
        int Next;                 // Next calls
    };
    for (TCase const& c : std::vector<TCase> {
             { "Seek", [] { return g_variant_new("(x)", int64_t(10000000)); }, { 15000000 }, 0 },
             { "Seek", [] { return g_variant_new("(x)", int64_t(-9000000)); }, { 0 }, 0 },
             { "Seek", [] { return g_variant_new("(x)", INT64_MAX); }, {}, 1 },
             { "SetPosition", [] { return g_variant_new("(ox)", "/org/vantor/track/7", int64_t(30000000)); },
                 { 30000000 }, 0 },
             { "SetPosition", [] { return g_variant_new("(ox)", "/org/vantor/track/8", int64_t(30000000)); }, {}, 0 },
             { "SetPosition", [] { return g_variant_new("(ox)", "/org/vantor/track/7", int64_t(61000001)); }, {}, 0 },
             { "SetPosition", [] { return g_variant_new("(ox)", "/org/vantor/track/7", int64_t(-1)); }, {}, 0 },
         }) {
        Player.Position = 5000000;
        Player.PositionsSet.clear();
        Player.Calls.clear();
        seeked = -1;
        GVariant* reply = Call(kPlayer, c.Method, c.Arguments());
        ASSERT_NE(reply, nullptr) << Error;
        g_variant_unref(reply);
        EXPECT_EQ(Player.PositionsSet, c.Set) << c.Method;
        EXPECT_EQ(Player.Calls["Next"], c.Next) << c.Method;
        if (c.Set.empty())
            continue;
        auto const until = std::chrono::steady_clock::now() + kDeadline;
        while (seeked < 0 && std::chrono::steady_clock::now() < until) {
            g_main_context_iteration(nullptr, FALSE);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(seeked, c.Set.back()) << "Seeked after " << c.Method;
    }
    g_dbus_connection_signal_unsubscribe(Client, subscription);
}

TEST_F(MprisServiceTest, ShuffleAndLoopStatusAreReadAndWritten)
{
    auto set = [this](char const* name, GVariant* value) {
        GVariant* reply = Call("org.freedesktop.DBus.Properties", "Set", g_variant_new("(ssv)", kPlayer, name, value));
        if (reply)
            g_variant_unref(reply);
        return reply != nullptr;
    };
    EXPECT_EQ(GetString(kPlayer, "LoopStatus"), "None");
    for (char const* status : { "Playlist", "Track", "None" }) {
        EXPECT_TRUE(set("LoopStatus", g_variant_new_string(status))) << Error;
        EXPECT_EQ(Player.Loop, status);
    }
    EXPECT_FALSE(set("LoopStatus", g_variant_new_string("Forever")));
    EXPECT_EQ(Player.Loop, "None");

    EXPECT_TRUE(set("Shuffle", g_variant_new_boolean(TRUE))) << Error;
    EXPECT_TRUE(Player.ShuffleOn);
    GVariant* shuffle = Get(kPlayer, "Shuffle");
    ASSERT_NE(shuffle, nullptr) << Error;
    EXPECT_TRUE(g_variant_get_boolean(shuffle));
    g_variant_unref(shuffle);
}

TEST_F(MprisServiceTest, PropertiesTellTheStateAndTheTrack)
{
    EXPECT_EQ(GetString(kPlayer, "PlaybackStatus"), "Paused");
    Player.Status = "Playing";
    EXPECT_EQ(GetString(kPlayer, "PlaybackStatus"), "Playing");
    EXPECT_EQ(GetString(kRoot, "Identity"), "Vantor");

    GVariant* metadata = Get(kPlayer, "Metadata");
    ASSERT_NE(metadata, nullptr) << Error;
    GVariantDict dict;
    g_variant_dict_init(&dict, metadata);
    char const* text = nullptr;
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "mpris:trackid", "&o", &text));
    EXPECT_STREQ(text, "/org/vantor/track/7");
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "xesam:title", "&s", &text));
    EXPECT_STREQ(text, "Título");
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "xesam:url", "&s", &text));
    EXPECT_STREQ(text, "file:///music/a.flac");
    int64_t length = 0;
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "mpris:length", "x", &length));
    EXPECT_EQ(length, 61000000);
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "mpris:artUrl", "&s", &text));
    EXPECT_STREQ(text, "file:///cache/cover.jpg");
    int32_t number = 0;
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "xesam:trackNumber", "i", &number));
    EXPECT_EQ(number, 3);
    for (auto [key, expected] : { std::pair { "xesam:artist", "Artist" }, std::pair { "xesam:albumArtist", "Band" },
             std::pair { "xesam:genre", "Jazz" } }) {
        GVariant* list = g_variant_dict_lookup_value(&dict, key, G_VARIANT_TYPE_STRING_ARRAY);
        ASSERT_NE(list, nullptr) << key;
        ASSERT_EQ(g_variant_n_children(list), 1u) << key;
        char const* first = nullptr;
        g_variant_get_child(list, 0, "&s", &first);
        EXPECT_STREQ(first, expected);
        g_variant_unref(list);
    }
    g_variant_dict_clear(&dict);
    g_variant_unref(metadata);

    // A title that is not UTF-8 is left out, and so are a track number of 0 and empty
    // texts; a track without a valid ID is "no track".
    Player.Track.Title = "\xFF\xFE";
    Player.Track.TrackID = "not a path";
    metadata = Get(kPlayer, "Metadata");
    ASSERT_NE(metadata, nullptr) << Error;
    g_variant_dict_init(&dict, metadata);
    ASSERT_TRUE(g_variant_dict_lookup(&dict, "mpris:trackid", "&o", &text));
    EXPECT_STREQ(text, "/org/mpris/MediaPlayer2/TrackList/NoTrack");
    EXPECT_FALSE(g_variant_dict_contains(&dict, "xesam:title"));
    g_variant_dict_clear(&dict);
    g_variant_unref(metadata);

    GVariant* next = Get(kPlayer, "CanGoNext");
    GVariant* previous = Get(kPlayer, "CanGoPrevious");
    ASSERT_NE(next, nullptr);
    ASSERT_NE(previous, nullptr);
    EXPECT_TRUE(g_variant_get_boolean(next));
    EXPECT_FALSE(g_variant_get_boolean(previous));
    g_variant_unref(next);
    g_variant_unref(previous);

    // Volume is writable, the status is not.
    GVariant* reply = Call("org.freedesktop.DBus.Properties", "Set",
        g_variant_new("(ssv)", kPlayer, "Volume", g_variant_new_double(0.25)));
    ASSERT_NE(reply, nullptr) << Error;
    g_variant_unref(reply);
    EXPECT_EQ(Player.VolumeSet, 0.25);
    EXPECT_EQ(Call("org.freedesktop.DBus.Properties", "Set",
                  g_variant_new("(ssv)", kPlayer, "PlaybackStatus", g_variant_new_string("Stopped"))),
        nullptr);
    EXPECT_EQ(Player.Status, "Playing");
}

TEST_F(MprisServiceTest, ChangesAreSignalled)
{
    std::string seen;
    guint const subscription = g_dbus_connection_signal_subscribe(
        Client, nullptr, "org.freedesktop.DBus.Properties", "PropertiesChanged", kObjectPath, nullptr,
        G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, char const*, char const*, char const*, char const*, GVariant* parameters, gpointer data) {
            char const* interface = nullptr;
            GVariant* changed = nullptr;
            g_variant_get(parameters, "(&s@a{sv}@as)", &interface, &changed, nullptr);
            GVariantDict dict;
            g_variant_dict_init(&dict, changed);
            char const* status = nullptr;
            if (std::string(interface) == kPlayer && g_variant_dict_lookup(&dict, "PlaybackStatus", "&s", &status))
                *static_cast<std::string*>(data) = status;
            g_variant_dict_clear(&dict);
            g_variant_unref(changed);
        },
        &seen, nullptr);
    // The match rule reaches the bus before the signal is sent.
    GVariant* ping = g_dbus_connection_call_sync(Client, "org.freedesktop.DBus", "/org/freedesktop/DBus",
        "org.freedesktop.DBus.Peer", "Ping", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (ping)
        g_variant_unref(ping);
    Player.Status = "Playing";
    Service->PropertiesChanged();
    auto const until = std::chrono::steady_clock::now() + kDeadline;
    while (seen.empty() && std::chrono::steady_clock::now() < until) {
        Service->Dispatch();
        g_main_context_iteration(nullptr, FALSE);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(seen, "Playing");
    g_dbus_connection_signal_unsubscribe(Client, subscription);
}

TEST(MprisServiceNoBus, WithoutASessionBusTheServiceIsUnavailable)
{
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vantor-test-bus", 1);
    TFakePlayer player;
    TMprisService service(player.Callbacks());
    EXPECT_FALSE(service.Available());
    service.Dispatch();
    service.PropertiesChanged();
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_TRUE(player.Calls.empty());
}

}
}
