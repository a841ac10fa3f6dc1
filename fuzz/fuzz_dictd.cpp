// The builder's dictd reader: the .index lines, the base64 numbers, the gzip stream of
// .dict.dz and the UTF-8 of the bodies. Bad input must end in an InputError naming the
// file; anything else (a crash, another exception, a hang) is a finding.
// Input: selector byte; for a dictionary, the index text, a 0xFF byte, the dict bytes.
#include "DictdReader.h"
#include "FuzzFiles.h"
#include "FuzzInput.h"
#include "InputError.h"

using namespace orvane::mkdb;
using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const int selector = data[0] % 3;
    try {
        if (selector == 0) {
            (void)DictdReader::gunzip(bytes, u"fuzz.dict.dz"_s);
            return 0;
        }
        const qsizetype split = bytes.indexOf('\xFF');
        const QByteArray index = split < 0 ? bytes : bytes.left(split);
        const QByteArray dict = split < 0 ? QByteArray() : bytes.mid(split + 1);
        // 1: a plain .dict; 2: .dict.dz, which must then be gzip.
        removeFuzzFile(fuzzFile(u"d.dict"_s, {}));
        removeFuzzFile(fuzzFile(u"d.dict.dz"_s, {}));
        fuzzFile(u"d.index"_s, index);
        const QString dictPath = fuzzFile(selector == 1 ? u"d.dict"_s : u"d.dict.dz"_s, dict);
        const auto entries = DictdReader::read(dictPath.chopped(selector == 1 ? 5 : 8));
        for (const auto& entry : entries) {
            FUZZ_CHECK(!entry.m1.trimmed().isEmpty());
            FUZZ_CHECK(!entry.meanings.contains(u"\n"_s) || entry.meanings.contains(u"\r\n"_s));
        }
    } catch (const InputError& error) {
        FUZZ_CHECK(!error.file().isEmpty() && !error.message().isEmpty());
    }
    return 0;
}
