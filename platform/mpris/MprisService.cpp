#include "platform/mpris/MprisService.h"

#include <gio/gio.h>

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
    if (!m.Artist.empty() && g_utf8_validate(m.Artist.c_str(), static_cast<gssize>(m.Artist.size()), nullptr))
        g_variant_builder_add(&builder, "{sv}", "xesam:artist", StringArray({ m.Artist.c_str() }));
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
            return g_variant_new_boolean(false);
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

    static void MethodCall(GDBusConnection*, char const*, char const*, char const* interfaceName,
        char const* methodName, GVariant*, GDBusMethodInvocation* invocation, gpointer data)
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
        } else if (method == "OpenUri") {
            g_dbus_method_invocation_return_dbus_error(
                invocation, "org.mpris.MediaPlayer2.Player.Error.NotSupported", "Opening URIs is not supported");
            return;
        }
        // Seek and SetPosition do nothing: CanSeek is false.
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
    if (!Available())
        return;
    GVariantBuilder changed;
    g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
    for (char const* name : { "PlaybackStatus", "Metadata", "CanGoNext", "CanGoPrevious", "CanPlay", "Volume" })
        g_variant_builder_add(&changed, "{sv}", name, m_state->PlayerProperty(name));
    g_dbus_connection_emit_signal(m_state->Connection, nullptr, kObjectPath, "org.freedesktop.DBus.Properties",
        "PropertiesChanged", g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, nullptr), nullptr);
}

}
