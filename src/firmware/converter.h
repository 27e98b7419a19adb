#pragma once
#include <QString>
#include <functional>

class OperatorUi;

// The image files, in the current working folder.
inline constexpr char mainImageFile[] = "fwimg.main";          // a cabinet's main unit
inline constexpr char indicatorImageFile[] = "fwimg.ind";      // a cabinet's indicator
inline constexpr char collectorImageFile[] = "fwimg.col";      // the collector
inline constexpr char converterOutputFile[] = "fwimg.fwimg";   // what fwmaker writes

enum class ImageKind { Cabinet, Collector };

// Where the converter and the developer's HEX files are looked for.
struct ConverterSetup
{
    QString converter;      // the fwmaker executable
    QString sourceFolder;   // holds incubator.hex, indicator.hex, collector.hex
    QString workFolder;     // where the converter runs and the image files live

    // The program's own setup, the one place these paths are defined:
    // the converter beside the program's executable ("fwmaker.exe" on Windows,
    // "fwmaker" elsewhere); the sources in "d:\mplab\misc\incubator" on
    // Windows and in "~/mplab/misc/incubator" elsewhere; the current folder.
    static ConverterSetup standard();
};

// Regenerates the image files of one kind from the developer's HEX files when
// both the kind's source (incubator.hex or collector.hex) and the converter
// exist; otherwise does nothing and returns false. Each conversion runs the
// converter in the work folder and waits for it, processing events; a wait
// ends early (and the converter is stopped) when closing() says the program
// is closing. A failed conversion is not detected here: the image it should
// have produced is missing and loading it fails.
bool convertHexImages(ImageKind kind, OperatorUi &ui, const ConverterSetup &setup = ConverterSetup::standard(),
                      const std::function<bool()> &closing = {});
