#include "picture_compare.h"

#include <QDir>

#include <algorithm>
#include <cstdlib>
#include <cstring>

PictureComparison ComparePictures(const QImage& actualIn, const QImage& referenceIn,
                                  int tolerance) {
    PictureComparison result;
    QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
    QImage reference = referenceIn.convertToFormat(QImage::Format_RGB32);
    result.sameSize = actual.size() == reference.size();
    QSize size = reference.size().expandedTo(actual.size());
    result.total = static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height());
    result.differences = QImage(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            bool inBoth = actual.valid(x, y) && reference.valid(x, y);
            QRgb a = actual.valid(x, y) ? actual.pixel(x, y) : qRgb(255, 0, 255);
            QRgb r = reference.valid(x, y) ? reference.pixel(x, y) : qRgb(255, 0, 255);
            int largest = std::max({std::abs(qRed(a) - qRed(r)), std::abs(qGreen(a) - qGreen(r)),
                                    std::abs(qBlue(a) - qBlue(r))});
            if (!inBoth)
                largest = 255;
            result.largest = std::max(result.largest, largest);
            if (largest > tolerance) {
                ++result.differing;
                result.differences.setPixel(x, y, qRgb(255, 0, 0));
            } else {
                int faint = 192 + qGray(r) / 4;
                result.differences.setPixel(x, y, qRgb(faint, faint, faint));
            }
        }
    }
    return result;
}

::testing::AssertionResult MatchesPicture(const QImage& actual, const std::string& referencePath,
                                          const std::string& outputStem, int tolerance,
                                          double share) {
    if (const char* update = std::getenv("RIVLET_UPDATE_PICTURES");
        update && std::strcmp(update, "1") == 0) {
        if (!actual.save(QString::fromStdString(referencePath), "PNG"))
            return ::testing::AssertionFailure() << "cannot write " << referencePath;
        return ::testing::AssertionSuccess() << "reference written to " << referencePath;
    }
    QImage reference(QString::fromStdString(referencePath));
    if (reference.isNull())
        return ::testing::AssertionFailure()
               << "no reference picture " << referencePath
               << " (RIVLET_UPDATE_PICTURES=1 makes it from this run)";
    PictureComparison c = ComparePictures(actual, reference, tolerance);
    double differingShare = static_cast<double>(c.differing) / static_cast<double>(c.total);
    if (c.sameSize && differingShare <= share)
        return ::testing::AssertionSuccess();
    QDir().mkpath(QString::fromStdString(outputStem).section('/', 0, -2));
    std::string actualPath = outputStem + ".actual.png";
    std::string differencePath = outputStem + ".difference.png";
    actual.save(QString::fromStdString(actualPath), "PNG");
    c.differences.save(QString::fromStdString(differencePath), "PNG");
    auto failure = ::testing::AssertionFailure();
    if (!c.sameSize)
        failure << "the picture is " << actual.width() << "x" << actual.height()
                << ", the reference " << reference.width() << "x" << reference.height() << "; ";
    return failure << c.differing << " of " << c.total << " pixels (" << differingShare * 100.0
                   << "%, at most " << share * 100.0 << "% may) differ by more than " << tolerance
                   << " from " << referencePath << " (largest " << c.largest
                   << ")\n  picture:     " << actualPath << "\n  differences: " << differencePath;
}

::testing::AssertionResult MatchesReference(const QImage& actual, const std::string& name,
                                            int tolerance, double share) {
    return MatchesPicture(
        actual, std::string(RIVLET_SOURCE_DIR) + "/tests/data/gui/" + name + ".png",
        std::string(RIVLET_BINARY_DIR) + "/test-pictures/" + name, tolerance, share);
}
