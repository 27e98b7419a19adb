// Arbitrary texts for the simulated GSM module: whatever it takes, the
// settings it then reports stay a text its reply line can carry, and read
// back as the same settings.
#include <cstdint>
#include <cstdlib>

#include "sim/gsm/modulesettings.h"
#include "sim/gsm/moduletext.h"

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkReport(const ModuleSettings &settings)
{
    const QByteArray text = settings.text();
    require(ModuleSettings::carriable(text));
    ModuleSettings again;
    require(again.setText(text));
    require(again.text() == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView all(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const qsizetype cut = all.isEmpty() ? 0 : data[0] % (all.size() + 1);
    const QByteArrayView first = all.first(cut);
    const QByteArrayView rest = all.sliced(cut);

    ModuleSettings settings;
    if (!settings.setText(first))
        require(settings.text().isEmpty());
    checkReport(settings);

    // The module takes the items of an intact message it can carry; the
    // rest as items stands for a message whose checksum happened to match.
    const ModuleText message = readModuleText(rest);
    if (message.kind == ModuleText::Kind::SettingsMessage && message.intact && ModuleSettings::carriable(message.items))
        settings.apply(message.items);
    checkReport(settings);
    if (ModuleSettings::carriable(rest))
        settings.apply(rest);
    checkReport(settings);
    return 0;
}
