// Writes the balance workbook of the import benchmark with libxlsxwriter:
// bench_write_balance <path> <first row> <rows> <positions>.
// Sheet 2 as the balance template has it: kind in A, code in B, facet in C, figures in E to I.
#include <cstdlib>
#include <xlsxwriter.h>

int main(int argc, char **argv)
{
    if (argc != 5)
        return 2;
    const int first_row = std::atoi(argv[2]);
    const int row_count = std::atoi(argv[3]);
    const int position_count = std::atoi(argv[4]);
    lxw_workbook *book = workbook_new(argv[1]);
    if (!book || first_row < 1 || position_count < 1)
        return 1;
    workbook_add_worksheet(book, "Сводные сведения");
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Баланс");
    const char *kinds[] = {"Основное", "Вспомогательное", "Др.службы", "Пр.рабочие"};
    for (int i = 0; i < row_count; ++i) {
        const lxw_row_t r = lxw_row_t(first_row - 1 + i);
        worksheet_write_string(sheet, r, 0, kinds[i % 4], nullptr);
        worksheet_write_number(sheet, r, 1, 10000 + (i * 37) % position_count, nullptr);
        if (i % 3 == 0)
            worksheet_write_string(sheet, r, 2, i % 2 ? "01" : "03", nullptr);
        worksheet_write_string(sheet, r, 3, "Должность", nullptr);
        worksheet_write_number(sheet, r, 4, 5 + i % 7, nullptr);
        worksheet_write_number(sheet, r, 5, 4 + i % 5, nullptr);
        worksheet_write_number(sheet, r, 6, i % 3, nullptr);
        worksheet_write_number(sheet, r, 7, i % 2, nullptr);
        if (i % 10 == 0)
            worksheet_write_number(sheet, r, 8, 9, nullptr);
    }
    return workbook_close(book) == LXW_NO_ERROR ? 0 : 1;
}
