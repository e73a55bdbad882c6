#include "tesk/system_info.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QtGlobal>

#include <fstream>
#include <sstream>
#include <thread>

#include <jconfig.h>
#include <libimagequant.h>
#include <pulse/version.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
}

#ifndef TESK_LIBV4L2_VERSION
#define TESK_LIBV4L2_VERSION "unknown"
#endif

namespace tesk {
namespace {

// The value after "key" and its separator in a text file of "key<sep>value" lines.
std::string fileValue(const char* path, const std::string& key, char separator) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        const auto at = line.find(separator, key.size());
        if (at == std::string::npos) continue;
        std::string value = line.substr(at + 1);
        value.erase(0, value.find_first_not_of(" \t\""));
        while (!value.empty() && (value.back() == '"' || value.back() == ' ')) value.pop_back();
        return value;
    }
    return {};
}

std::string versionText(unsigned v) {
    return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xff) + "." + std::to_string(v & 0xff);
}

}  // namespace

std::string systemInfoText(const std::vector<DriverInfo>& drivers) {
    std::ostringstream out;
    std::string os = fileValue("/etc/os-release", "PRETTY_NAME", '=');
    out << "Operating system: " << (os.empty() ? "Linux" : os) << "\n";
    utsname uts{};
    if (::uname(&uts) == 0)
        out << "Kernel: " << uts.sysname << " " << uts.release << " " << uts.version << " (" << uts.machine << ")\n";
    const std::string cpu = fileValue("/proc/cpuinfo", "model name", ':');
    out << "Processor: " << (cpu.empty() ? "unknown" : cpu) << ", " << std::thread::hardware_concurrency()
        << " logical cores\n";
    struct sysinfo mem {};
    if (::sysinfo(&mem) == 0) {
        const auto mib = [&](unsigned long v) { return (unsigned long long)v * mem.mem_unit / (1024 * 1024); };
        out << "Memory: " << mib(mem.totalram) << " MiB, " << mib(mem.freeram) << " MiB free\n";
    }
    out << "Qt: " << qVersion() << " (built with " << QT_VERSION_STR << ")\n";
    out << "libjpeg-turbo: " << LIBJPEG_TURBO_VERSION_NUMBER / 1000000 << "."
        << LIBJPEG_TURBO_VERSION_NUMBER / 1000 % 1000 << "." << LIBJPEG_TURBO_VERSION_NUMBER % 1000 << "\n";
    out << "FFmpeg: " << av_version_info() << " (libavformat " << versionText(avformat_version()) << ", libavcodec "
        << versionText(avcodec_version()) << ")\n";
    out << "libv4l2: " << TESK_LIBV4L2_VERSION << "\n";
    out << "libimagequant: " << liq_version() / 10000 << "." << liq_version() / 100 % 100 << "."
        << liq_version() % 100 << "\n";
    out << "libpulse: " << pa_get_library_version() << "\n";
    out << "Capture drivers:\n";
    if (drivers.empty()) out << "  none\n";
    for (std::size_t i = 0; i < drivers.size(); ++i) {
        out << "  " << i << ": " << drivers[i].name << " " << drivers[i].version;
        if (!drivers[i].device.empty()) out << " (" << drivers[i].device << ")";
        out << "\n";
    }
    return out.str();
}

void showSystemInfo(QWidget* parent, std::string_view first, std::string_view second,
                    const std::vector<DriverInfo>& drivers) {
    const auto hash = first.find('#');
    const std::string title(first.substr(0, hash));
    std::string heading = hash == std::string_view::npos ? std::string() : std::string(first.substr(hash + 1));
    if (!second.empty()) heading += (heading.empty() ? "" : "\n") + std::string(second);

    QDialog dialog(parent);
    dialog.setObjectName("SystemInfo");
    dialog.setWindowTitle(QString::fromStdString(title));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QString::fromStdString(heading), &dialog);
    label->setObjectName("SystemInfoHeading");
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    auto* text = new QPlainTextEdit(QString::fromStdString(systemInfoText(drivers)), &dialog);
    text->setObjectName("SystemInfoText");
    text->setReadOnly(true);
    text->setMinimumSize(520, 260);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

}  // namespace tesk
