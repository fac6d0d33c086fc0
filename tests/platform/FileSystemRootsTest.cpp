// The places the side browser offers: removable media read from the mount table.
#include "platform/FileSystemRoots.h"

#include <gtest/gtest.h>

TEST(FileSystemRoots, RemovableMediaAreTheMountPointsUnderTheMediaFoldersWithTheirNamesDecoded)
{
    const juce::String table = "sysfs /sys sysfs rw,nosuid 0 0\n"
                               "/dev/sda1 / ext4 rw,relatime 0 0\n"
                               "/dev/sdb1 /media/anna/USB\\040STICK vfat rw 0 0\n"
                               "/dev/sdc1 /run/media/anna/Lessons exfat rw 0 0\n"
                               "/dev/sdd1 /run/media/bert/Other exfat rw 0 0\n"
                               "/dev/sde1 /mnt ext4 rw 0 0\n"
                               "/dev/sdf1 /mnt/backup ext4 rw 0 0\n"
                               "/dev/sdb1 /media/anna/USB\\040STICK vfat rw 0 0\n"
                               "tmpfs /run tmpfs rw 0 0\n"
                               "/dev/sdg1 /media/Caf\\303\\251 vfat rw 0 0\n"
                               "broken-line\n";
    const auto points = FileSystemRoots::removableMountPoints(table, "anna");
    juce::StringArray paths;
    for (const auto& point : points)
        paths.add(point.getFullPathName());
    EXPECT_EQ(paths.joinIntoString("|"), "/media/anna/USB STICK|/run/media/anna/Lessons|/mnt|/mnt/backup|" +
                                             juce::String::fromUTF8("/media/Caf\xc3\xa9"));
}
