// The floor of a spreadsheet import: the part of the zip that holds the rows, inflated by QuaZip
// and read token by token by QXmlStreamReader, nothing else done with it. bench/intercanvi.sh
// times it beside `q2x7 importa` of the same file.
//   xml_nu FITXER PART      (xl/worksheets/sheet1.xml for .xlsx, content.xml for .ods)
#include <QCoreApplication>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    QuaZip zip(QString::fromLocal8Bit(argv[1]));
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(QString::fromLocal8Bit(argv[2])))
        return 1;
    QuaZipFile part(&zip);
    if (!part.open(QIODevice::ReadOnly))
        return 1;
    QXmlStreamReader xml(&part);
    long long tokens = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        ++tokens;
    }
    std::printf("%lld\n", tokens);
    return xml.hasError() ? 1 : 0;
}
