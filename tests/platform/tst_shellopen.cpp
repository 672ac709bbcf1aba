// Which links open without a question: an allow list by scheme and by the file's type.

#include "platform/ShellOpen.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

class TestShellOpen : public QObject {
    Q_OBJECT
private slots:
    void onlyPagesAndDocumentsOpenAtOnce_data();
    void onlyPagesAndDocumentsOpenAtOnce();
};

void TestShellOpen::onlyPagesAndDocumentsOpenAtOnce_data()
{
    QTest::addColumn<QString>("link"); // "{dir}": a fresh folder that holds the file made from content
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("atOnce");
    QTest::newRow("https") << "https://example.org/a?b=c" << QByteArray() << true;
    QTest::newRow("mail") << "mailto:a@example.org?subject=Hi&Body=x" << QByteArray() << true;
    QTest::newRow("mail with attach") << "mailto:a@example.org?attach=/etc/passwd" << QByteArray() << false;
    QTest::newRow("mail with an encoded attach") << "mailto:a@example.org?%61ttach=x" << QByteArray() << false;
    QTest::newRow("ftp") << "ftp://example.org/x" << QByteArray() << false;
    QTest::newRow("picture") << "{dir}/map.png" << QByteArray("\x89PNG\r\n\x1a\n") << true;
    QTest::newRow("pdf") << "{dir}/notes.pdf" << QByteArray("%PDF-1.4\n") << true;
    QTest::newRow("plain text") << "{dir}/notes.txt" << QByteArray("rush B\n") << true;
    QTest::newRow("sound") << "{dir}/call.ogg" << QByteArray("OggS") << true;
    QTest::newRow("video") << "{dir}/round.mp4" << QByteArray("\x01\x01\x01\x18" "ftypisom") << true;
    QTest::newRow("svg") << "{dir}/map.svg" << QByteArray("<svg/>") << false;
    QTest::newRow("package") << "{dir}/tool.deb" << QByteArray("!<arch>\n") << false;
    QTest::newRow("java launch") << "{dir}/app.jnlp" << QByteArray("<jnlp/>") << false;
    QTest::newRow("flatpak ref") << "{dir}/app.flatpakref" << QByteArray("[Flatpak Ref]\n") << false;
    QTest::newRow("python, not executable") << "{dir}/x.py" << QByteArray("import os\n") << false;
    QTest::newRow("script without a suffix") << "{dir}/run" << QByteArray("#!/bin/sh\nrm -rf ~\n") << false;
    QTest::newRow("local page") << "{dir}/page.html" << QByteArray("<html><script></script>") << false;
    QTest::newRow("executable text") << "{dir}/+notes.txt" << QByteArray("hi\n") << false;
    QTest::newRow("folder") << "{dir}/" << QByteArray() << false;
    QTest::newRow("missing file") << "{dir}/missing.png" << QByteArray() << false;
}

void TestShellOpen::onlyPagesAndDocumentsOpenAtOnce()
{
    QFETCH(QString, link);
    QFETCH(QByteArray, content);
    QFETCH(bool, atOnce);
    QTemporaryDir dir;
    const qsizetype at = link.indexOf("{dir}/");
    if (at >= 0 && !content.isEmpty()) {
        QString name = link.mid(at + 6);
        const bool executable = name.startsWith('+');
        QFile f(dir.filePath(name.remove(0, executable ? 1 : 0)));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        QVERIFY(!executable || f.setPermissions(f.permissions() | QFile::ExeOwner));
        link = link.left(at) + f.fileName();
    }
    link.replace("{dir}", dir.path());
    QCOMPARE(classifyLink(link).safety, atOnce ? LinkSafety::Open : LinkSafety::Ask);
}

QTEST_MAIN(TestShellOpen)
#include "tst_shellopen.moc"
