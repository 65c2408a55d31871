// quelt_save_child card|temp <target> <archiver> <password list>: saves a small card there.
#include "cardfile/card_lists.h"
#include "cardfile/iexml.h"
#include "cardfile/temp_card.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5)
        return 2;
    QVector<QString> card(card_lists::main_size);
    card[card_slot::te_orgname] = QStringLiteral("Ромашка");
    iexml x;
    x.set_archiver(Archiver(args.at(3)));
    x.set_password_list(args.at(4));
    if (args.at(1) == "card")
        return x.save_card(card, {}, {}, {}, args.at(2), "child.xml") ? 0 : 1;
    TempCardFile file{Archiver(args.at(3))};
    return file.write(args.at(2), x.write_card_xml(card, {}, {}, {}).toString(1)) ? 0 : 1;
}
