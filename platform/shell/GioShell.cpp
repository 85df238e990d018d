#include "platform/shell/GioShell.h"

#include "platform/shell/ClipboardText.h"

#include <gio/gio.h>

#include <memory>
#include <string>
#include <strings.h>
#include <utility>

namespace vantor {

namespace {

template <typename T>
struct TGFree {
    void operator()(T* p) const { g_object_unref(p); }
};
template <typename T>
using TGObject = std::unique_ptr<T, TGFree<T>>;

struct TGCharFree {
    void operator()(char* p) const { g_free(p); }
};
using TGString = std::unique_ptr<char, TGCharFree>;

bool LaunchUri(const std::string& uri)
{
    GError* error = nullptr;
    bool const ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
    if (error)
        g_error_free(error);
    return ok;
}

bool SessionBusExists()
{
    char const* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return true;
    TGString const socket(g_build_filename(g_get_user_runtime_dir(), "bus", nullptr));
    return g_file_test(socket.get(), G_FILE_TEST_EXISTS);
}

// Makes a context the thread's default while it lives, so that the asynchronous calls made
// meanwhile answer on it.
class TContextScope {
public:
    explicit TContextScope(GMainContext* context)
        : m_context(context)
    {
        g_main_context_push_thread_default(m_context);
    }
    ~TContextScope() { g_main_context_pop_thread_default(m_context); }
    TContextScope(const TContextScope&) = delete;
    TContextScope& operator=(const TContextScope&) = delete;

private:
    GMainContext* m_context;
};

// zenity's exit codes: the folder was chosen, the dialog was closed.
constexpr int kZenityOk = 0;
constexpr int kZenityCancelled = 1;

}

// One folder dialog at a time: the portal's Request object answers with a signal, zenity with
// its output. Every asynchronous step counts itself in Pending, so that the shell can wait for
// the cancelled ones before it goes.
struct TGioShell::TPicker {
    GMainContext* Context = g_main_context_new();
    GDBusConnection* Bus = nullptr;      // owned; kept for the next dialog
    GCancellable* Cancellable = nullptr; // owned; of the open dialog
    GSubprocess* Fallback = nullptr;     // owned; the zenity process
    guint Subscription = 0;              // the Request's Response signal
    std::string RequestPath;
    TFolderAnswer Answer; // set while a dialog is open
    std::string Title;
    std::string AcceptLabel;
    unsigned Serial = 0;
    int Pending = 0;
    bool Closing = false;

    void Start()
    {
        Cancellable = g_cancellable_new();
        if (Bus) {
            CallPortal();
        } else if (SessionBusExists()) {
            ++Pending;
            g_bus_get(G_BUS_TYPE_SESSION, Cancellable, &TPicker::OnBus, this);
        } else {
            StartFallback();
        }
    }

    static void OnBus(GObject*, GAsyncResult* result, gpointer data)
    {
        auto* const self = static_cast<TPicker*>(data);
        --self->Pending;
        GError* error = nullptr;
        GDBusConnection* const bus = g_bus_get_finish(result, &error);
        g_clear_error(&error);
        if (self->Closing) {
            if (bus)
                g_object_unref(bus);
            return;
        }
        if (!bus) {
            self->StartFallback();
            return;
        }
        // The shared connection going away must not end the player.
        g_dbus_connection_set_exit_on_close(bus, FALSE);
        self->Bus = bus;
        self->CallPortal();
    }

    void CallPortal()
    {
        // The Request object's path is known before the call, so its answer cannot be missed.
        std::string const token = "vantor" + std::to_string(++Serial);
        std::string sender = g_dbus_connection_get_unique_name(Bus) ? g_dbus_connection_get_unique_name(Bus) : "";
        if (!sender.empty() && sender[0] == ':')
            sender.erase(0, 1);
        for (char& c : sender)
            if (c == '.')
                c = '_';
        Subscribe("/org/freedesktop/portal/desktop/request/" + sender + "/" + token);
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
        g_variant_builder_add(&options, "{sv}", "accept_label", g_variant_new_string(AcceptLabel.c_str()));
        g_variant_builder_add(&options, "{sv}", "modal", g_variant_new_boolean(TRUE));
        g_variant_builder_add(&options, "{sv}", "directory", g_variant_new_boolean(TRUE));
        ++Pending;
        g_dbus_connection_call(Bus, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
            "org.freedesktop.portal.FileChooser", "OpenFile", g_variant_new("(ssa{sv})", "", Title.c_str(), &options),
            G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE, -1, Cancellable, &TPicker::OnOpened, this);
    }

    void Subscribe(const std::string& path)
    {
        Unsubscribe();
        RequestPath = path;
        Subscription = g_dbus_connection_signal_subscribe(Bus, "org.freedesktop.portal.Desktop",
            "org.freedesktop.portal.Request", "Response", RequestPath.c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
            &TPicker::OnResponse, this, nullptr);
    }

    void Unsubscribe()
    {
        if (Subscription)
            g_dbus_connection_signal_unsubscribe(Bus, Subscription);
        Subscription = 0;
    }

    static void OnOpened(GObject* source, GAsyncResult* result, gpointer data)
    {
        auto* const self = static_cast<TPicker*>(data);
        --self->Pending;
        GError* error = nullptr;
        GVariant* const reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        g_clear_error(&error);
        if (self->Closing) {
            if (reply)
                g_variant_unref(reply);
            return;
        }
        if (!reply) {
            // No portal, or one without a file chooser.
            self->Unsubscribe();
            self->StartFallback();
            return;
        }
        const char* handle = nullptr;
        g_variant_get(reply, "(&o)", &handle);
        // Older portals make up the Request's path themselves.
        if (handle && self->RequestPath != handle)
            self->Subscribe(handle);
        g_variant_unref(reply);
    }

    static void OnResponse(
        GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters, gpointer data)
    {
        auto* const self = static_cast<TPicker*>(data);
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ua{sv})"))) {
            self->Finish(TFolderPickResult::fpCancelled, {});
            return;
        }
        guint32 response = 2;
        GVariant* results = nullptr;
        g_variant_get(parameters, "(u@a{sv})", &response, &results);
        std::string path;
        const gchar** uris = nullptr;
        if (response == 0 && g_variant_lookup(results, "uris", "^a&s", &uris) && uris && uris[0])
            path = FilePathFromUri(uris[0]).value_or(std::string());
        g_free(uris);
        g_variant_unref(results);
        self->FinishWithFolder(path);
    }

    void StartFallback()
    {
        TGString const zenity(g_find_program_in_path("zenity"));
        if (zenity) {
            std::string const title = "--title=" + Title;
            const gchar* const argv[] = { zenity.get(), "--file-selection", "--directory", title.c_str(), nullptr };
            GError* error = nullptr;
            Fallback = g_subprocess_newv(argv,
                static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_SILENCE),
                &error);
            g_clear_error(&error);
        }
        if (!Fallback) {
            // Answered from the context, never from inside PickFolder.
            ++Pending;
            GSource* const idle = g_idle_source_new();
            g_source_set_callback(idle, &TPicker::OnNoDialog, this, nullptr);
            g_source_attach(idle, Context);
            g_source_unref(idle);
            return;
        }
        ++Pending;
        g_subprocess_communicate_utf8_async(Fallback, nullptr, Cancellable, &TPicker::OnFallbackDone, this);
    }

    static gboolean OnNoDialog(gpointer data)
    {
        auto* const self = static_cast<TPicker*>(data);
        --self->Pending;
        if (!self->Closing)
            self->Finish(TFolderPickResult::fpUnavailable, {});
        return G_SOURCE_REMOVE;
    }

    static void OnFallbackDone(GObject* source, GAsyncResult* result, gpointer data)
    {
        auto* const self = static_cast<TPicker*>(data);
        --self->Pending;
        char* out = nullptr;
        GError* error = nullptr;
        GSubprocess* const process = G_SUBPROCESS(source);
        bool const read = g_subprocess_communicate_utf8_finish(process, result, &out, nullptr, &error);
        g_clear_error(&error);
        TGString const output(out);
        if (self->Closing)
            return;
        int const status = read && g_subprocess_get_if_exited(process) ? g_subprocess_get_exit_status(process) : -1;
        if (status == kZenityOk) {
            std::string path = output ? output.get() : "";
            while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
                path.pop_back();
            self->FinishWithFolder(path);
        } else {
            self->Finish(
                status == kZenityCancelled ? TFolderPickResult::fpCancelled : TFolderPickResult::fpUnavailable, {});
        }
    }

    // Only an existing folder is an answer.
    void FinishWithFolder(const std::string& path)
    {
        if (!path.empty() && path[0] == '/' && g_file_test(path.c_str(), G_FILE_TEST_IS_DIR))
            Finish(TFolderPickResult::fpPicked, path);
        else
            Finish(TFolderPickResult::fpCancelled, {});
    }

    void Finish(TFolderPickResult result, std::string path)
    {
        Unsubscribe();
        g_clear_object(&Cancellable);
        g_clear_object(&Fallback);
        // The answer may open the next dialog.
        TFolderAnswer const answer = std::move(Answer);
        Answer = nullptr;
        if (answer)
            answer({ result, std::move(path) });
    }
};

TGioShell::TGioShell()
    : m_picker(std::make_unique<TPicker>())
{
}

TGioShell::~TGioShell()
{
    TPicker& picker = *m_picker;
    {
        TContextScope const scope(picker.Context);
        picker.Closing = true;
        if (picker.Cancellable)
            g_cancellable_cancel(picker.Cancellable);
        if (picker.Fallback)
            g_subprocess_force_exit(picker.Fallback);
        // The cancelled steps answer soon; their callbacks must run before the state goes.
        while (picker.Pending > 0)
            g_main_context_iteration(picker.Context, TRUE);
        picker.Unsubscribe();
        g_clear_object(&picker.Cancellable);
        g_clear_object(&picker.Fallback);
        g_clear_object(&picker.Bus);
        while (g_main_context_iteration(picker.Context, FALSE)) { }
    }
    g_main_context_unref(picker.Context);
}

bool TGioShell::PickFolder(const std::string& title, const std::string& acceptLabel, TFolderAnswer answer)
{
    TPicker& picker = *m_picker;
    if (picker.Answer || !answer)
        return false;
    picker.Answer = std::move(answer);
    picker.Title = title;
    picker.AcceptLabel = acceptLabel;
    TContextScope const scope(picker.Context);
    picker.Start();
    return true;
}

void TGioShell::Dispatch()
{
    TContextScope const scope(m_picker->Context);
    while (g_main_context_iteration(m_picker->Context, FALSE)) { }
}

bool TGioShell::MoveToTrash(const std::string& path)
{
    TGObject<GFile> file(g_file_new_for_path(path.c_str()));
    GError* error = nullptr;
    bool const ok = g_file_trash(file.get(), nullptr, &error);
    if (error)
        g_error_free(error);
    return ok;
}

bool TGioShell::PutFilesOnClipboard(const std::vector<std::string>& paths, TClipboardVerb verb)
{
    return SetClipboardText(FileClipboardText(paths, verb));
}

std::string TGioShell::ContentTypeDescription(const std::string& path)
{
    TGObject<GFile> file(g_file_new_for_path(path.c_str()));
    TGObject<GFileInfo> info(g_file_query_info(
        file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE, G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
    TGString guessed;
    const char* type = info ? g_file_info_get_content_type(info.get()) : nullptr;
    if (!type) {
        // A file that cannot be read is still described by its name.
        guessed.reset(g_content_type_guess(path.c_str(), nullptr, 0, nullptr));
        type = guessed.get();
    }
    if (!type)
        return {};
    TGString const description(g_content_type_get_description(type));
    return description ? std::string(description.get()) : std::string();
}

bool TGioShell::ShowInFileManager(const std::string& path)
{
    // The file managers' common D-Bus interface selects the item; without one, the folder is
    // opened instead.
    GError* error = nullptr;
    TGObject<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (error) {
        g_error_free(error);
        error = nullptr;
    }
    if (bus) {
        GVariantBuilder uris;
        g_variant_builder_init(&uris, G_VARIANT_TYPE("as"));
        g_variant_builder_add(&uris, "s", FileUri(path).c_str());
        GVariant* reply = g_dbus_connection_call_sync(bus.get(), "org.freedesktop.FileManager1",
            "/org/freedesktop/FileManager1", "org.freedesktop.FileManager1", "ShowItems",
            g_variant_new("(ass)", &uris, ""), nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
        if (reply) {
            g_variant_unref(reply);
            return true;
        }
        if (error)
            g_error_free(error);
    }
    TGString const folder(g_path_get_dirname(path.c_str()));
    return LaunchUri(FileUri(folder.get()));
}

bool TGioShell::OpenWebPage(const std::string& url)
{
    if (strncasecmp(url.c_str(), "http://", 7) != 0 && strncasecmp(url.c_str(), "https://", 8) != 0)
        return false;
    return LaunchUri(url);
}

}
