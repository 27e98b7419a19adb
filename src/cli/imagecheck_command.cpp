#include "clicontext.h"
#include "firmware/firmwareimage.h"

namespace {

int runImageCheck(CliContext &, const QStringList &args)
{
    if (args.size() != 1)
        return fail(QStringLiteral("image-check takes one image file"), 2);
    const ImageCheck check = imageCheck(args.first());
    if (!check.ok)
        return fail(check.failureLogLine);
    printOut(QString::number(check.blockCount));
    return 0;
}

const CliCommandRegistration registration(
    {"image-check", "image-check FILE      check a firmware image file; prints its block count", runImageCheck});

}  // namespace
