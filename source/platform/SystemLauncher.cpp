#include "platform/SystemLauncher.h"

#include <gio/gio.h>

juce::String SystemLauncher::uriFor(const juce::URL& address)
{
    if (!address.isLocalFile())
        return address.toString(true);

    // GLib's own conversion escapes every character a URI must not hold as it stands.
    const auto path = address.getLocalFile().getFullPathName();
    gchar* uri = g_filename_to_uri(path.toRawUTF8(), nullptr, nullptr);
    if (uri == nullptr)
        return {};
    const auto text = juce::String::fromUTF8(uri);
    g_free(uri);
    return text;
}

bool SystemLauncher::open(const juce::URL& address)
{
    const auto uri = uriFor(address);
    if (uri.isEmpty())
        return false;
    GError* error = nullptr;
    const gboolean launched = g_app_info_launch_default_for_uri(uri.toRawUTF8(), nullptr, &error);
    if (error != nullptr)
        g_error_free(error);
    return launched == TRUE;
}
