#pragma once

#include "balance/balance_rules.h"
#include "classifier/classifier_reader.h"

#include <QRandomGenerator>
#include <QSet>
#include <QString>
#include <QVector>
#include <algorithm>

namespace test_support
{

// The fields of a card of an organisation that reserves nobody and passes every rule of the gate, for set_fields().
inline const QString valid_card_fields =
    "le_INN=7707083893|le_KPP=770701001|le_OGRN=1027700132195|le_OKPO=00032537|le_RegNo=54076|"
    "te_orgname=Общество с ограниченной ответственностью \"Ромашка\"|te_orgname2=ООО \"Ромашка\"|"
    "le_okato=40262563000|lineEdit_11=12300|lineEdit_13=Общества с ограниченной ответственностью|lineEdit_25=16|"
    "le_osn_ved=62.01|dateINN=2010-05-14|lineEdit=Генеральный директор|le_FamRuk=Петров|le_ImRuk=Пётр|"
    "le_OtRuk=Ильич|le_TelRuk=(812)-123-45-67|le_DopRuk=77|le_DolgVur=Инспектор|le_FamVur=Сидорова|le_ImVur=Анна|"
    "le_TelVur=(812)-765-43-21|lineEdit_10=office@romashka.ru|lineEdit_29=190000|lineEdit_23=Невский пр.|"
    "lineEdit_9=10|lineEdit_37=Невский пр.|lineEdit_34=10|lineEdit_21=Садовая ул.|lineEdit_8=5|sb_f6_all=10|"
    "te_dopinfo=Филиалов нет|ob_ruk=Петров П.И.";

// A balance row of workers in main production with position code `code` and its figures.
inline balance::BalanceRow worker_row(const QString &code)
{
    using namespace balance;
    BalanceRow row;
    const std::pair<int, QString> cells[] = {{col_key, "14" + code}, {col_kind, "Основное"}, {col_category, "Рабочие"},
                                             {col_code, code},       {col_facet, ""},        {col_name, "Слесарь"},
                                             {col_shtat, "2"},       {col_treb, "2"},        {col_fact, "2"},
                                             {col_mp, "1"},          {col_ubyl, "0"},        {col_bron, "1"},
                                             {col_posle_vybyt, "1"}, {col_nekomplekt, "0"},  {col_dop_potr, "1"},
                                             {col_vnutr_ist, "0"},   {col_vnesh_ist, "1"},   {col_izbytok, "0"},
                                             {col_cat_code, "4"},    {col_facet_code, ""},   {col_kind_code, "1"}};
    for (const auto &[column, text] : cells)
        row.cells[column] = text;
    return row;
}

// `count` distinct positions of the carried list with names of `shortest` to 45 letters, in one fixed random order.
inline QVector<ClassifierRecord> sampled_positions(int count, int shortest = 15)
{
    ClassifierReader reader;
    reader.load(QString(classifier_file::resource_dir) + classifier_file::positions);
    QVector<ClassifierRecord> ordinary;
    QSet<QString> codes;
    for (const ClassifierRecord &record : reader.records)
        if (record.name.size() >= shortest && record.name.size() <= 45 && !codes.contains(record.code)) {
            codes << record.code;
            ordinary << record;
        }
    std::shuffle(ordinary.begin(), ordinary.end(), QRandomGenerator(24));
    return ordinary.mid(0, count);
}

} // namespace test_support
