#include "picture_compare.h"

#include <QColor>
#include <QDir>

#include <cstdlib>
#include <cstring>

namespace gui_test {

namespace {

std::string ReferencePath(const std::string& name) {
    return std::string(RIVLET_SOURCE_DIR) + "/tests/data/gui/" + name + ".png";
}

std::string OutputFolder() {
    std::string folder = std::string(RIVLET_BINARY_DIR) + "/test-pictures";
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

} // namespace

bool UpdatingReferences() {
    const char* update = std::getenv("RIVLET_UPDATE_PICTURES");
    return update && *update && std::strcmp(update, "0") != 0;
}

QImage DifferencePicture(const QImage& actual, const QImage& reference, const Tolerance& tolerance,
                         long& differing) {
    QImage a = actual.convertToFormat(QImage::Format_RGB32);
    QImage r = reference.convertToFormat(QImage::Format_RGB32);
    QImage difference(r.size(), QImage::Format_RGB32);
    differing = 0;
    for (int y = 0; y < r.height(); ++y) {
        for (int x = 0; x < r.width(); ++x) {
            QRgb want = r.pixel(x, y);
            QRgb got = a.valid(x, y) ? a.pixel(x, y) : qRgb(0, 0, 0);
            bool off = !a.valid(x, y) || std::abs(qRed(want) - qRed(got)) > tolerance.channel ||
                       std::abs(qGreen(want) - qGreen(got)) > tolerance.channel ||
                       std::abs(qBlue(want) - qBlue(got)) > tolerance.channel;
            if (off) {
                ++differing;
                difference.setPixel(x, y, qRgb(255, 0, 0));
            } else {
                int grey = 192 + qGray(want) / 4;
                difference.setPixel(x, y, qRgb(grey, grey, grey));
            }
        }
    }
    return difference;
}

::testing::AssertionResult MatchesReference(const QImage& actual, const std::string& name,
                                            const Tolerance& tolerance) {
    if (actual.isNull())
        return ::testing::AssertionFailure() << "no picture was taken for " << name;
    std::string referencePath = ReferencePath(name);
    if (UpdatingReferences()) {
        if (!actual.save(QString::fromStdString(referencePath)))
            return ::testing::AssertionFailure() << "cannot write " << referencePath;
        return ::testing::AssertionSuccess() << "reference " << referencePath << " written";
    }
    QImage reference(QString::fromStdString(referencePath));
    std::string actualPath = OutputFolder() + "/" + name + ".actual.png";
    if (reference.isNull()) {
        actual.save(QString::fromStdString(actualPath));
        return ::testing::AssertionFailure()
               << "no reference " << referencePath << "; the picture taken is " << actualPath
               << " (RIVLET_UPDATE_PICTURES=1 makes the references)";
    }
    long differing = 0;
    QImage difference = DifferencePicture(actual, reference, tolerance, differing);
    long total = static_cast<long>(reference.width()) * reference.height();
    bool sameSize = actual.size() == reference.size();
    if (sameSize && differing <= static_cast<long>(tolerance.share * static_cast<double>(total)))
        return ::testing::AssertionSuccess();
    std::string differencePath = OutputFolder() + "/" + name + ".difference.png";
    actual.save(QString::fromStdString(actualPath));
    difference.save(QString::fromStdString(differencePath));
    auto failure = ::testing::AssertionFailure();
    if (!sameSize)
        failure << name << " is " << actual.width() << "x" << actual.height() << ", its reference "
                << reference.width() << "x" << reference.height() << "; ";
    return failure << differing << " of " << total << " pixels of " << name
                   << " differ from the reference " << referencePath
                   << "\n  actual:     " << actualPath << "\n  difference: " << differencePath;
}

} // namespace gui_test
