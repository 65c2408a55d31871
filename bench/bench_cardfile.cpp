// Saving and opening a card of 500 balance rows through the real 7z.
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace
{

const QString pass_list = QStringLiteral(QUELT_SOURCE_DIR "/resources/xml/pass.xml");
constexpr int balance_row_count = 500;

struct Card {
    QVector<QString> main, balance, bron, nebron;
};

Card big_card()
{
    Card c;
    c.main = QVector<QString>(card_lists::main_size);
    for (int i = 0; i < card_lists::main_size; ++i)
        c.main[i] = QString("Значение поля %1").arg(i);
    c.main[card_slot::cb_kat_b] = QString::fromUtf8(card_lists::category_reserving);
    c.main[card_slot::balance_row_count] = QString::number(balance_row_count);
    c.main[card_slot::bron_row_count] = "50";
    c.main[card_slot::nebron_row_count] = "20";
    for (int j = 0; j < balance_row_count; ++j)
        c.balance << "1"
                  << "Специалисты" << QString::number(20000 + j) << "04"
                  << "12"
                  << "1"
                  << "3"
                  << "10"
                  << ""
                  << "10";
    for (int j = 0; j < 50; ++j)
        c.bron << "ПДП" << QString::number(j) << "Инженер-конструктор"
               << "Приказ №12"
               << "Иванов И.И.";
    for (int j = 0; j < 20; ++j)
        c.nebron << "3"
                 << "Нет оснований"
                 << "";
    return c;
}

QString archiver_program()
{
    return QStandardPaths::findExecutable("7z");
}

void BM_save_card(benchmark::State &state)
{
    const Card c = big_card();
    QTemporaryDir dir;
    for (auto _ : state) {
        iexml x;
        x.set_password_list(pass_list);
        x.set_archiver(Archiver(archiver_program()));
        if (!x.save_card(c.main, c.balance, c.bron, c.nebron, dir.path() + "/card.quelt", "card.xml"))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_save_card)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_open_card(benchmark::State &state)
{
    const Card c = big_card();
    QTemporaryDir dir;
    {
        iexml x;
        x.set_password_list(pass_list);
        x.set_archiver(Archiver(archiver_program()));
        if (!x.save_card(c.main, c.balance, c.bron, c.nebron, dir.path() + "/card.quelt", "card.xml")) {
            state.SkipWithError("save failed");
            return;
        }
    }
    for (auto _ : state) {
        iexml x;
        x.set_password_list(pass_list);
        x.set_archiver(Archiver(archiver_program()));
        const QVector<QString> main = x.open_card(dir.path() + "/card.quelt");
        if (main.isEmpty() || x.open_card("Getbalance").size() != balance_row_count * card_lists::balance_row_size)
            state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_open_card)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    // Settings and temporary files stay out of the user's home.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
