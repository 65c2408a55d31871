// libFuzzer target for the .xls path: the input is the file.
#include "excelimport/fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    read_workbook_bytes(QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)), "xls");
    return 0;
}
