#include "tab_order.h"

#include <QTabBar>
#include <QTabWidget>

namespace {

// The keyboard order of the whole window, across its pages.
const char *const chain[] = {
    "pb_today", "pb_date", "dateZap", "le_RegNo", "te_orgname2", "pb_zaglav2", "te_orgname", "pb_zaglav", "pb_ruk",
    "lineEdit", "le_FamRuk", "le_ImRuk", "le_OtRuk", "le_TelRuk", "le_DopRuk", "le_FaxRuk", "le_DolgVur",
    "le_FamVur", "le_ImVur", "le_OtVur", "le_TelVur", "le_DopVur", "le_FaxVur", "cb_MobOrgan", "cb_MobOrgan_2",
    "DolgRukMO", "FamRukMO", "ImRukMO", "OtRukMO", "TelRukMO", "DopRukMO", "FaxRukMO", "pb_fadr", "lineEdit_9",
    "lineEdit_31", "pushButton_6", "pb_padr", "lineEdit_34", "lineEdit_35", "lineEdit_29", "pushButton_9",
    "lineEdit_21", "lineEdit_8", "lineEdit_18", "lineEdit_46", "lineEdit_10", "pb_golorg", "lineEdit_36", "le_INN",
    "le_KPP", "pb_INN", "dateINN", "le_OGRN", "pb_okato", "le_OKPO", "pb_okopf", "pb_okfs", "pb_ved", "pb_dop_add",
    "pb_dop_del", "pb_dop_sort", "le_dop_ved", "cb_OGV", "OKOGU_pb", "OKOGU_le", "cb_kat_b", "NPA_doc", "NPA_no",
    "NPA_date", "pb_VK", "le_VK", "VK_org", "te_dopinfo", "sb_kol_vred", "sb_kol_opas", "checkBox_kolont", "te_up_l",
    "te_up_r", "te_down_l", "te_down_r", "sb_f6_all", "sb_f6_priziv", "sb_f6_of", "sb_f6_neof", "sb_f6_bron_of",
    "sb_f6_bron_neof", "sb_f6_mp", "balance_add", "balance_faset", "balance_delete", "balance_sort", "pb_import_xls",
    "balance_pdp", "table_balance", "cb_GPZ", "add_bron", "del_bron", "import_bron", "table_bronGPZ", "cb_neGPZ",
    "add_nebron", "del_nebron", "table_nebronGPZ", "save_Button", "open_Button", "print_Button", "help_Button",
    "exit_Button", "tabWidget", "scrollArea", "lineEdit_24", "le_osn_ved", "lineEdit_25", "lineEdit_26",
    "lineEdit_23", "le_okato", "lineEdit_13", "lineEdit_11", "sb_b_ruk", "sb_b_spec", "sb_b_slug", "sb_b_rab",
    "sb_b_kol_vspom", "sb_b_sum_vnutr", "sb_b_ruk_bron", "sb_b_spec_bron", "sb_b_slug_bron", "sb_b_rab_bron",
    "sb_b_all2", "sb_b_treb_ruk", "sb_b_treb_spec", "sb_b_treb_slug", "sb_b_treb_rab", "sb_b_vnutr_ruk",
    "sb_b_vnutr_spec", "sb_b_vnutr_slug", "sb_b_vnutr_rab", "sb_b_pages", "sb_b_html_px", "lineEdit_37",
    "sb_b_sum_treb", "sb_b_sum_est", "sb_b_sum_vnesh", "sb_b_kol_drsl", "sb_b_kol_mir", "copyButton",
    "checkBox_balance_voenshtat", "checkBox_balance_dop", "checkBox_balance_vid_pr", "checkBox_balance_itogi",
    "checkBox_f6_resize", "checkBox_balance_hiden", "checkBox_balance_vnutr_ist", "sb_f6_gpz", "ob_ruk",
    "ob_ruk_date", "ob_ruk_gou", "ob_vur", "ob_vur_date", "ob_vur_gou", "ob_mob", "ob_mob_date", "ob_mob_gou",
    "cb_sf_ved", "testButton",
};

} // namespace

void set_form_tab_order(QWidget *window)
{
    auto *tabs = window->findChild<QTabWidget *>("tabWidget");
    // Qt 5 moves a widget with a focus proxy together with all its children, which would drag every
    // page along with the tab widget; order the plain widgets, then put the tab bar behind its widget.
    QWidget *proxy = tabs ? tabs->focusProxy() : nullptr;
    if (tabs)
        tabs->setFocusProxy(nullptr);
    QWidget *previous = nullptr;
    for (const char *name : chain) {
        QWidget *next = window->findChild<QWidget *>(QString::fromLatin1(name));
        if (!next)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
    if (tabs && proxy) {
        QWidget *after = tabs->nextInFocusChain();
        QWidget::setTabOrder(tabs, proxy);
        QWidget::setTabOrder(proxy, after);
        tabs->setFocusProxy(proxy);
    }
}
