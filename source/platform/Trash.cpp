#include "platform/Trash.h"

#include <gio/gio.h>

bool Trash::moveToTrash(const juce::File& file, juce::String* error)
{
    // A dangling link still has a name to move: only a path with nothing at it is done already.
    if (!file.exists() && !file.isSymbolicLink())
        return true;

    GFile* target = g_file_new_for_path(file.getFullPathName().toRawUTF8());
    GError* failure = nullptr;
    const gboolean moved = g_file_trash(target, nullptr, &failure);
    if (failure != nullptr)
    {
        if (error != nullptr)
            *error = juce::String::fromUTF8(failure->message);
        g_error_free(failure);
    }
    g_object_unref(target);
    return moved == TRUE;
}
