#include "platform/shell/GioShell.h"

#include "platform/shell/ClipboardText.h"

#include <gio/gio.h>

#include <memory>
#include <strings.h>

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
