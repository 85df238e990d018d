#include "platform/mpris/MprisService.h"

#include <gio/gio.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace vantor {

namespace {

constexpr char kBusName[] = "org.mpris.MediaPlayer2.vantor";
constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr char kNoTrack[] = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

constexpr char kIntrospection[] = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg direction="in" name="Offset" type="x"/></method>
    <method name="SetPosition">
      <arg direction="in" name="TrackId" type="o"/>
      <arg direction="in" name="Position" type="x"/>
    </method>
    <method name="OpenUri"><arg direction="in" name="Uri" type="s"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="readwrite"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
    <property name="Shuffle" type="b" access="readwrite"/>
    <property name="LoopStatus" type="s" access="readwrite"/>
  </interface>
</node>)";

// Whether the user's session has a bus: its address in the environment, or the per-user bus
// socket. Without one, GIO would try to launch a bus of its own, which only slows the start
// and gives a bus that no media-key daemon listens on.
bool SessionBusExists()
{
    char const* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    gchar* socket = g_build_filename(g_get_user_runtime_dir(), "bus", nullptr);
    bool const exists = g_file_test(socket, G_FILE_TEST_EXISTS);
    g_free(socket);
    return exists;
}

bool Call(std::function<bool()> const& f, bool fallback) { return f ? f() : fallback; }

GVariant* StringArray(std::initializer_list<char const*> values)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("as"));
    for (char const* value : values)
        g_variant_builder_add(&builder, "s", value);
    return g_variant_builder_end(&builder);
}

GVariant* MetadataVariant(TMprisMetadata const& m)
{
    GVariantBuilder builder;
    g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
    bool const validPath = !m.TrackID.empty() && g_variant_is_object_path(m.TrackID.c_str());
    g_variant_builder_add(
        &builder, "{sv}", "mpris:trackid", g_variant_new_object_path(validPath ? m.TrackID.c_str() : kNoTrack));
    if (!validPath)
        return g_variant_builder_end(&builder);
    if (m.LengthMicroseconds > 0)
        g_variant_builder_add(&builder, "{sv}", "mpris:length", g_variant_new_int64(m.LengthMicroseconds));
    // D-Bus strings must be valid UTF-8; tag texts that are not are left out.
    auto addText = [&builder](char const* key, std::string const& value) {
        if (!value.empty() && g_utf8_validate(value.c_str(), static_cast<gssize>(value.size()), nullptr))
            g_variant_builder_add(&builder, "{sv}", key, g_variant_new_string(value.c_str()));
    };
    addText("xesam:title", m.Title);
    addText("xesam:album", m.Album);
    addText("xesam:url", m.Url);
    addText("mpris:artUrl", m.ArtUrl);
    auto addList = [&builder](char const* key, std::string const& value) {
        if (!value.empty() && g_utf8_validate(value.c_str(), static_cast<gssize>(value.size()), nullptr))
            g_variant_builder_add(&builder, "{sv}", key, StringArray({ value.c_str() }));
    };
    addList("xesam:artist", m.Artist);
    addList("xesam:albumArtist", m.AlbumArtist);
    addList("xesam:genre", m.Genre);
    if (m.TrackNumber > 0)
        g_variant_builder_add(&builder, "{sv}", "xesam:trackNumber", g_variant_new_int32(m.TrackNumber));
    return g_variant_builder_end(&builder);
}

}

struct TMprisService::TState {
    TMprisPlayer Player;
    GMainContext* Context = nullptr;
    GDBusConnection* Connection = nullptr;
    GDBusNodeInfo* Node = nullptr;
    guint RootRegistration = 0;
    guint PlayerRegistration = 0;
    guint NameOwner = 0;

    GVariant* PlayerProperty(std::string_view name) const
    {
        if (name == "PlaybackStatus")
            return g_variant_new_string(Player.PlaybackStatus ? Player.PlaybackStatus().c_str() : "Stopped");
        if (name == "Metadata")
            return MetadataVariant(Player.Metadata ? Player.Metadata() : TMprisMetadata {});
        if (name == "Volume")
            return g_variant_new_double(Player.Volume ? Player.Volume() : 1.0);
        if (name == "Position")
            return g_variant_new_int64(Player.PositionMicroseconds ? Player.PositionMicroseconds() : 0);
        if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate")
            return g_variant_new_double(1.0);
        if (name == "CanGoNext")
            return g_variant_new_boolean(Call(Player.CanGoNext, false));
        if (name == "CanGoPrevious")
            return g_variant_new_boolean(Call(Player.CanGoPrevious, false));
        if (name == "CanPlay")
            return g_variant_new_boolean(Call(Player.CanPlay, true));
        if (name == "CanPause" || name == "CanControl")
            return g_variant_new_boolean(true);
        if (name == "CanSeek")
            return g_variant_new_boolean(Call(Player.CanSeek, false));
        if (name == "Shuffle")
            return g_variant_new_boolean(Call(Player.Shuffle, false));
        if (name == "LoopStatus")
            return g_variant_new_string(Player.LoopStatus ? Player.LoopStatus().c_str() : "None");
        return nullptr;
    }

    static GVariant* RootProperty(std::string_view name)
    {
        if (name == "CanQuit" || name == "CanRaise")
            return g_variant_new_boolean(true);
        if (name == "HasTrackList")
            return g_variant_new_boolean(false);
        if (name == "Identity")
            return g_variant_new_string("Vantor");
        if (name == "DesktopEntry")
            return g_variant_new_string("vantor");
        if (name == "SupportedUriSchemes")
            return StringArray({ "file" });
        if (name == "SupportedMimeTypes")
            return StringArray({ "audio/mpeg", "audio/flac", "audio/ogg", "audio/opus", "audio/mp4", "audio/x-wav",
                "audio/x-aiff", "audio/x-ms-wma", "audio/x-wavpack", "audio/x-musepack", "audio/x-ape" });
        return nullptr;
    }

    void Changed() const
    {
        GVariantBuilder changed;
        g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
        for (char const* name : { "PlaybackStatus", "Metadata", "CanGoNext", "CanGoPrevious", "CanPlay", "CanSeek",
                 "Volume", "Shuffle", "LoopStatus" })
            g_variant_builder_add(&changed, "{sv}", name, PlayerProperty(name));
        g_dbus_connection_emit_signal(Connection, nullptr, kObjectPath, "org.freedesktop.DBus.Properties",
            "PropertiesChanged", g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, nullptr), nullptr);
    }

    int64_t Position() const { return Player.PositionMicroseconds ? Player.PositionMicroseconds() : 0; }

    // Moves by offset: before the start means the start, past the end the next track.
    void Seek(int64_t offset)
    {
        if (!Call(Player.CanSeek, false) || !Player.SetPositionMicroseconds)
            return;
        int64_t const length = Player.Metadata ? Player.Metadata().LengthMicroseconds : 0;
        int64_t const from = Position();
        // Saturated: an offset near the type's limits must not wrap around.
        int64_t target = offset > 0 && from > INT64_MAX - offset ? INT64_MAX : from + offset;
        if (target < 0)
            target = 0;
        if (length > 0 && target > length) {
            if (Player.Next)
                Player.Next();
            return;
        }
        if (Player.SetPositionMicroseconds(target))
            Seeked();
    }

    // Moves to position, only in the track named and only within it.
    void SetPosition(std::string const& trackId, int64_t position)
    {
        if (!Call(Player.CanSeek, false) || !Player.SetPositionMicroseconds || !Player.Metadata)
            return;
        TMprisMetadata const track = Player.Metadata();
        if (track.TrackID != trackId || position < 0
            || (track.LengthMicroseconds > 0 && position > track.LengthMicroseconds))
            return;
        if (Player.SetPositionMicroseconds(position))
            Seeked();
    }

    // Tells listeners that the position jumped.
    void Seeked() const
    {
        g_dbus_connection_emit_signal(
            Connection, nullptr, kObjectPath, kPlayerInterface, "Seeked", g_variant_new("(x)", Position()), nullptr);
    }

    static void MethodCall(GDBusConnection*, char const*, char const*, char const* interfaceName,
        char const* methodName, GVariant* parameters, GDBusMethodInvocation* invocation, gpointer data)
    {
        auto* state = static_cast<TState*>(data);
        std::string_view const method = methodName;
        TMprisPlayer const& p = state->Player;
        std::function<void()> const* action = nullptr;
        if (std::string_view(interfaceName) == kRootInterface) {
            if (method == "Raise")
                action = &p.Raise;
            else if (method == "Quit")
                action = &p.Quit;
        } else if (method == "Next") {
            action = &p.Next;
        } else if (method == "Previous") {
            action = &p.Previous;
        } else if (method == "Pause") {
            action = &p.Pause;
        } else if (method == "PlayPause") {
            action = &p.PlayPause;
        } else if (method == "Stop") {
            action = &p.Stop;
        } else if (method == "Play") {
            action = &p.Play;
        } else if (method == "Seek") {
            int64_t offset = 0;
            g_variant_get(parameters, "(x)", &offset);
            g_dbus_method_invocation_return_value(invocation, nullptr);
            state->Seek(offset);
            return;
        } else if (method == "SetPosition") {
            char const* track = nullptr;
            int64_t position = 0;
            g_variant_get(parameters, "(&ox)", &track, &position);
            std::string const trackId = track;
            g_dbus_method_invocation_return_value(invocation, nullptr);
            state->SetPosition(trackId, position);
            return;
        } else if (method == "OpenUri") {
            g_dbus_method_invocation_return_dbus_error(
                invocation, "org.mpris.MediaPlayer2.Player.Error.NotSupported", "Opening URIs is not supported");
            return;
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
        if (action && *action)
            (*action)();
    }

    static GVariant* GetProperty(GDBusConnection*, char const*, char const*, char const* interfaceName,
        char const* propertyName, GError** error, gpointer data)
    {
        auto* state = static_cast<TState*>(data);
        GVariant* value = std::string_view(interfaceName) == kRootInterface ? RootProperty(propertyName)
                                                                            : state->PlayerProperty(propertyName);
        if (!value)
            g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "No property %s", propertyName);
        return value;
    }

    static gboolean SetProperty(GDBusConnection*, char const*, char const*, char const*, char const* propertyName,
        GVariant* value, GError** error, gpointer data)
    {
        auto* state = static_cast<TState*>(data);
        std::string_view const name = propertyName;
        if (name == "Volume") {
            if (state->Player.SetVolume)
                state->Player.SetVolume(g_variant_get_double(value));
            return TRUE;
        }
        if (name == "Rate")
            return TRUE; // only 1.0 is offered
        if (name == "Shuffle" || name == "LoopStatus") {
            if (name == "Shuffle") {
                if (state->Player.SetShuffle)
                    state->Player.SetShuffle(g_variant_get_boolean(value));
            } else {
                std::string_view const status = g_variant_get_string(value, nullptr);
                if (status != "None" && status != "Track" && status != "Playlist") {
                    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS, "No loop status %s",
                        g_variant_get_string(value, nullptr));
                    return FALSE;
                }
                if (state->Player.SetLoopStatus)
                    state->Player.SetLoopStatus(std::string(status));
            }
            state->Changed();
            return TRUE;
        }
        g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s is read-only", propertyName);
        return FALSE;
    }
};

TMprisService::TMprisService(TMprisPlayer player)
    : m_state(std::make_unique<TState>())
{
    m_state->Player = std::move(player);
    m_state->Context = g_main_context_new();
    // Replies and calls of this connection are handled on the private context, which
    // Dispatch runs on the UI thread.
    g_main_context_push_thread_default(m_state->Context);
    GError* error = nullptr;
    gchar* address =
        SessionBusExists() ? g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error) : nullptr;
    if (address) {
        m_state->Connection = g_dbus_connection_new_for_address_sync(address,
            static_cast<GDBusConnectionFlags>(
                G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
            nullptr, nullptr, &error);
        g_free(address);
    }
    g_clear_error(&error);
    if (m_state->Connection) {
        g_dbus_connection_set_exit_on_close(m_state->Connection, FALSE);
        m_state->Node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static GDBusInterfaceVTable const vtable { &TState::MethodCall, &TState::GetProperty, &TState::SetProperty,
            {} };
        m_state->RootRegistration = g_dbus_connection_register_object(
            m_state->Connection, kObjectPath, m_state->Node->interfaces[0], &vtable, m_state.get(), nullptr, nullptr);
        m_state->PlayerRegistration = g_dbus_connection_register_object(
            m_state->Connection, kObjectPath, m_state->Node->interfaces[1], &vtable, m_state.get(), nullptr, nullptr);
        m_state->NameOwner = g_bus_own_name_on_connection(
            m_state->Connection, kBusName, G_BUS_NAME_OWNER_FLAGS_NONE, nullptr, nullptr, nullptr, nullptr);
    }
    g_main_context_pop_thread_default(m_state->Context);
}

TMprisService::~TMprisService()
{
    if (m_state->Connection) {
        g_main_context_push_thread_default(m_state->Context);
        if (m_state->NameOwner)
            g_bus_unown_name(m_state->NameOwner);
        if (m_state->RootRegistration)
            g_dbus_connection_unregister_object(m_state->Connection, m_state->RootRegistration);
        if (m_state->PlayerRegistration)
            g_dbus_connection_unregister_object(m_state->Connection, m_state->PlayerRegistration);
        g_dbus_connection_flush_sync(m_state->Connection, nullptr, nullptr);
        g_dbus_connection_close_sync(m_state->Connection, nullptr, nullptr);
        g_object_unref(m_state->Connection);
        while (g_main_context_iteration(m_state->Context, FALSE)) { }
        g_main_context_pop_thread_default(m_state->Context);
    }
    if (m_state->Node)
        g_dbus_node_info_unref(m_state->Node);
    g_main_context_unref(m_state->Context);
}

bool TMprisService::Available() const { return m_state->Connection != nullptr && m_state->PlayerRegistration != 0; }

void TMprisService::Dispatch()
{
    while (g_main_context_iteration(m_state->Context, FALSE)) { }
}

void TMprisService::PropertiesChanged()
{
    if (Available())
        m_state->Changed();
}

void TMprisService::Seeked()
{
    if (Available())
        m_state->Seeked();
}

}
