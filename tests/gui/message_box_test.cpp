// Message boxes and file dialogs in the interface language: button captions from the string
// table, Qt's own texts from its translations, and the filters the dialogs offer.
#include "gui/app/message_box.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMessageBox>
#include <QTest>

#include "app/strings.h"
#include "gui/app/desktop_services.h"
#include "gui/app/qt_translations.h"
#include "gui/main/container_dialogs.h"
#include "gui_testing.h"

using namespace sealwise::gui;

namespace {
constexpr int kGerman = 0, kEnglish = 900, kSpanish = 1900, kFrench = 2900;

QString Caption(QMessageBox& box, QMessageBox::StandardButton which) {
    QAbstractButton* button = box.button(which);
    return button ? button->text() : QString("(none)");
}
}  // namespace

Q_DECLARE_METATYPE(sealwise::gui::MessageButtons)
Q_DECLARE_METATYPE(sealwise::gui::MessageAnswer)

class MessageBoxTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { testing::UseProgramLook(); }
    void cleanup() {
        sealwise::SetLanguageOffset(kEnglish);
        ApplyQtTranslations(kEnglish);
    }

    void buttonsSpeakTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("okCancelYesNo");
        QTest::newRow("German") << kGerman << QStringList{"OK", "Abbrechen", "Ja", "Nein"};
        QTest::newRow("English") << kEnglish << QStringList{"OK", "Cancel", "Yes", "No"};
        QTest::newRow("Spanish") << kSpanish << QStringList{"Aceptar", "Cancelar", "Sí", "No"};
        QTest::newRow("French") << kFrench << QStringList{"OK", "Annuler", "Oui", "Non"};
    }
    void buttonsSpeakTheLanguage() {
        QFETCH(int, language);
        QFETCH(QStringList, okCancelYesNo);
        sealwise::SetLanguageOffset(language);
        QMessageBox okCancel;
        ConfigureMessageBox(okCancel, "text", MessageButtons::OkCancel, MessageIcon::Warning,
                            "Sealwise");
        QCOMPARE(Caption(okCancel, QMessageBox::Ok), okCancelYesNo[0]);
        QCOMPARE(Caption(okCancel, QMessageBox::Cancel), okCancelYesNo[1]);
        QMessageBox yesNo;
        ConfigureMessageBox(yesNo, "text", MessageButtons::YesNo, MessageIcon::Question,
                            "Sealwise");
        QCOMPARE(Caption(yesNo, QMessageBox::Yes), okCancelYesNo[2]);
        QCOMPARE(Caption(yesNo, QMessageBox::No), okCancelYesNo[3]);
        // The overwrite question names the very button the user sees.
        const QString question =
            QString::fromStdString(sealwise::GetResText(sealwise::Msg::OverwriteQuestion, "x"));
        QVERIFY2(question.contains(okCancelYesNo[3]), qPrintable(question));
        QMessageBox ok;
        ConfigureMessageBox(ok, "text", MessageButtons::Ok, MessageIcon::None, {});
        QCOMPARE(ok.buttons().size(), 1);
        QCOMPARE(Caption(ok, QMessageBox::Ok), okCancelYesNo[0]);
    }

    // The button pressed decides; Escape (the escape button) counts as Cancel or No.
    void answerFollowsTheButtonPressed_data() {
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<int>("pressed");  // a standard button, or 0 for Escape
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("ok") << MessageButtons::Ok << int(QMessageBox::Ok) << MessageAnswer::Ok;
        QTest::newRow("ok of ok/cancel")
            << MessageButtons::OkCancel << int(QMessageBox::Ok) << MessageAnswer::Ok;
        QTest::newRow("cancel") << MessageButtons::OkCancel << int(QMessageBox::Cancel)
                                << MessageAnswer::Cancel;
        QTest::newRow("escape on ok/cancel")
            << MessageButtons::OkCancel << 0 << MessageAnswer::Cancel;
        QTest::newRow("yes") << MessageButtons::YesNo << int(QMessageBox::Yes)
                             << MessageAnswer::Yes;
        QTest::newRow("no") << MessageButtons::YesNo << int(QMessageBox::No) << MessageAnswer::No;
        QTest::newRow("escape on yes/no") << MessageButtons::YesNo << 0 << MessageAnswer::No;
    }
    void answerFollowsTheButtonPressed() {
        QFETCH(MessageButtons, buttons);
        QFETCH(int, pressed);
        QFETCH(MessageAnswer, answer);
        QMessageBox box;
        ConfigureMessageBox(box, "text", buttons, MessageIcon::None, {});
        box.show();
        if (pressed == 0) {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else {
            box.button(static_cast<QMessageBox::StandardButton>(pressed))->click();
        }
        QCOMPARE(AnswerOf(box, buttons), answer);
    }

    // Qt's own texts (the file dialog's "Look in:") follow the language; English needs none.
    void qtTextsFollowTheLanguage_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("lookIn");
        QTest::newRow("German") << kGerman << "Suchen in:";
        QTest::newRow("Spanish") << kSpanish << "Ver en:";
        QTest::newRow("French") << kFrench << "Voir dans :";
        QTest::newRow("English") << kEnglish << "Look in:";
    }
    void qtTextsFollowTheLanguage() {
        QFETCH(int, language);
        QFETCH(QString, lookIn);
        QVERIFY(ApplyQtTranslations(language));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), lookIn);
    }

    void dialogFiltersReadAsQtExpects_data() {
        QTest::addColumn<QString>("pipeFilter");
        QTest::addColumn<QString>("qtFilter");
        QTest::newRow("containers") << "Encrypted files (*.vesk)|*.vesk"
                                    << "Encrypted files (*.vesk)";
        // "*.*" would hide every name without a dot.
        QTest::newRow("all files") << "All files (*.*)|*.*"
                                   << "All files (*)";
        QTest::newRow("both") << "Encrypted files (*.vesk)|*.vesk|All files (*.*)|*.*"
                              << "Encrypted files (*.vesk);;All files (*)";
        QTest::newRow("no parentheses") << "Texts|*.txt;*.md"
                                        << "Texts (*.txt *.md)";
    }
    void dialogFiltersReadAsQtExpects() {
        QFETCH(QString, pipeFilter);
        QFETCH(QString, qtFilter);
        QCOMPARE(QtFileFilter(pipeFilter), qtFilter);
    }

    void containerDialogsOfferAllFiles() {
        sealwise::SetLanguageOffset(kGerman);
        const QString filter = QtFileFilter(ContainerDialogFilter());
        QVERIFY2(filter.startsWith(
                     QString::fromStdString(sealwise::GetResText(sealwise::Msg::ContainerFilter))
                         .section('|', 0, 0)),
                 qPrintable(filter));
        QVERIFY2(filter.endsWith("(*)"), qPrintable(filter));
    }

    void savedNamesGetTheContainerExtension_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "/tmp/backup"
                                      << "/tmp/backup.vesk";
        QTest::newRow("container") << "/tmp/backup.vesk"
                                   << "/tmp/backup.vesk";
        QTest::newRow("other extension") << "/tmp/backup.bin"
                                         << "/tmp/backup.bin";
        QTest::newRow("dot in the directory") << "/tmp/v1.2/backup"
                                              << "/tmp/v1.2/backup.vesk";
        QTest::newRow("hidden name") << "/tmp/.backup"
                                     << "/tmp/.backup.vesk";
        QTest::newRow("trailing dot") << "/tmp/backup."
                                      << "/tmp/backup.vesk";
        QTest::newRow("cancelled") << ""
                                   << "";
    }
    void savedNamesGetTheContainerExtension() {
        QFETCH(QString, chosen);
        QFETCH(QString, saved);
        QCOMPARE(WithContainerExtension(chosen), saved);
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
