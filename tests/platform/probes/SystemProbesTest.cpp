#include "core/startup/StartupRules.h"
#include "platform/probes/SystemProbes.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>

namespace {

class SystemProbesTest : public QuillaryTest {
protected:
    // The fake tree sits under a folder whose own name holds "usb", which
    // must not count.
    QString sys() const { return path("usbtree/sys"); }

    void blockDevice(const QString &devicePath, const QString &name) {
        const QString dev =
            sys() + "/devices/" + devicePath + "/block/" + name.left(3) + "/" + name;
        QDir().mkpath(dev);
        QDir().mkpath(sys() + "/class/block");
        ASSERT_TRUE(
            QFile::link("../../devices/" + devicePath + "/block/" + name.left(3) + "/" + name,
                        sys() + "/class/block/" + name));
    }

    void supply(const QString &name, const QList<QPair<QString, QByteArray>> &files) {
        const QString dir = sys() + "/class/power_supply/" + name + "/";
        for (const auto &f : files)
            WriteFileBytes(dir + f.first, f.second + "\n");
    }
    PowerStatus power() { return LinuxProbes(sys()).powerStatus(); }
};

} // namespace

TEST_F(SystemProbesTest, UsbAgainstSata) {
    blockDevice("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0", "sdz1");
    blockDevice("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0", "sdy1");
    EXPECT_TRUE(IsUsbBlockDevice("/dev/sdz1", sys()));
    EXPECT_FALSE(IsUsbBlockDevice("/dev/sdy1", sys()));
    EXPECT_FALSE(IsUsbBlockDevice("/dev/sdx1", sys())); // no such entry
    EXPECT_FALSE(IsUsbBlockDevice("tmpfs", sys()));
    EXPECT_FALSE(IsUsbBlockDevice("", sys()));
    // A folder on a file system without a block device.
    EXPECT_FALSE(LinuxProbes(sys()).isUsbDrive(path(""), nullptr));
}

TEST_F(SystemProbesTest, MainsWithBattery) {
    supply("AC", {{"type", "Mains"}, {"online", "1"}});
    supply("BAT0", {{"type", "Battery"},
                    {"capacity", "80"},
                    {"energy_now", "20000000"},
                    {"power_now", "9000000"}});
    const PowerStatus s = power();
    EXPECT_TRUE(s.onMains);
    EXPECT_TRUE(s.hasBattery);
    EXPECT_EQ(PowerStatusText(s), "On mains power.\rBattery is 80% full.");
}

TEST_F(SystemProbesTest, BatteryWithKnownLife) {
    supply("AC", {{"type", "Mains"}, {"online", "0"}});
    supply("BAT0", {{"type", "Battery"},
                    {"capacity", "64"},
                    {"energy_now", "25000000"},
                    {"power_now", "20000000"}});
    const PowerStatus s = power();
    EXPECT_FALSE(s.onMains);
    EXPECT_EQ(s.lifeSeconds, 4500);
    EXPECT_EQ(PowerStatusText(s), "Battery power left: 1 hour, 15 minutes  (64%).");
}

TEST_F(SystemProbesTest, BatteryLifeFromCharge) {
    supply("BAT1", {{"type", "Battery"},
                    {"capacity", "50"},
                    {"charge_now", "3000000"},
                    {"current_now", "-1500000"}});
    EXPECT_EQ(PowerStatusText(power()), "Battery power left: 2 hours, 0 minutes  (50%).");
}

TEST_F(SystemProbesTest, BatteryWithUnknownLife) {
    supply("ADP1", {{"type", "Mains"}, {"online", "0"}});
    supply(
        "BAT0",
        {{"type", "Battery"}, {"capacity", "30"}, {"energy_now", "5000000"}, {"power_now", "0"}});
    EXPECT_EQ(PowerStatusText(power()), "On battery power.\rBattery is 30% full.");
}

TEST_F(SystemProbesTest, NoBatteryMeansMains) {
    supply("AC", {{"type", "Mains"}, {"online", "0"}});
    supply("hidpp_battery_0", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "10"}});
    const PowerStatus s = power();
    EXPECT_TRUE(s.onMains);
    EXPECT_FALSE(s.hasBattery);
    EXPECT_EQ(PowerStatusText(s), "On mains power.");
    EXPECT_EQ(PowerStatusText(LinuxProbes(path("nothing")).powerStatus()), "On mains power.");
}

TEST_F(SystemProbesTest, UsbChargerCountsAsMains) {
    supply("ucsi-source-psy-USBC000:001", {{"type", "USB"}, {"online", "1"}});
    supply("BAT0", {{"type", "Battery"},
                    {"capacity", "90"},
                    {"energy_now", "20000000"},
                    {"power_now", "5000000"}});
    EXPECT_EQ(PowerStatusText(power()), "On mains power.\rBattery is 90% full.");
}
