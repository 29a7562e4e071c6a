#include "ByteBuilder.h"
#include "CFileMDL.h"
#include "CFilePHY.h"
#include "CScanFoundList.h"
#include "Fuzz.h"
#include "GameFolder.h"
#include "MaterialScanner.h"
#include "ModelBuilders.h"

#include <QtTest>

#include <memory>

namespace {

MaterialKeys textureKeys()
{
    MaterialKeys keys;
    keys.textureKeys = QStringList{"$basetexture"};
    return keys;
}

// One line per block: "name: key=value, ...".
QStringList describe(const CFilePHY &phy)
{
    QStringList out;
    for (const PHYTextBlock &block : phy.textBlocks) {
        QStringList pairs;
        for (const auto &pair : block.pairs)
            pairs << pair.first + "=" + pair.second;
        out << block.name + ": " + pairs.join(", ");
    }
    return out;
}

const QByteArray BlockText = "solid {\n\"index\" \"0\"\n}\n"
                             "break { \"model\" \"gib1\" \"Model\" \"no\" }\n"
                             "break {\n\"ragdoll\" \"Gibs\\gib2.MDL\"\n}\n"
                             "break {}\nbreak { \"model\" }\n"
                             "break { \"model\" \"gib3\" \"odd\" }\n";

ModelSpec crateSpec()
{
    ModelSpec spec;
    spec.textures = {"Metal", "\\Wood/"};
    spec.directories = {"models\\props\\", "Shared"};
    spec.includes = {"models/shared_anims.mdl", "models/props/crate.mdl"};
    spec.keyvalues = "mdlkeyvalue\n{\n\nprop_data\n}\npartial";
    return spec;
}

} // namespace

class TestModelFiles : public QObject
{
    Q_OBJECT

private slots:
    // Both block forms; only exact "model" and "ragdoll" keys are followed,
    // ".mdl" added unless present in exactly that case.
    void collisionBlocks()
    {
        const QByteArray bytes = buildCollisionModel({"abc", ""}, BlockText);
        std::unique_ptr<CFilePHY> phy(CFilePHY::fromByteArray(bytes));
        QVERIFY(phy);
        QCOMPARE(phy->solids, (QList<QByteArray>{"abc", ""}));
        QCOMPARE(describe(*phy),
                 (QStringList{"solid: index=0, }=", "break: model=gib1, Model=no",
                              "break: ragdoll=Gibs\\gib2.MDL, }=", "break: model=gib3"}));
        CScanFoundList found;
        phy->scanDependencies(found, textureKeys(), QString());
        QCOMPARE(found.paths(),
                 (QStringList{"models/gib1.mdl", "models/Gibs/gib2.MDL.mdl", "models/gib3.mdl"}));

        // With CR LF no line ends in a brace: no block at all.
        QByteArray crlf = BlockText;
        phy.reset(CFilePHY::fromByteArray(buildCollisionModel({}, crlf.replace("\n", "\r\n"))));
        QVERIFY(phy && phy->textBlocks.isEmpty());

        const auto load = [](const QByteArray &b) { delete CFilePHY::fromByteArray(b); };
        Fuzz::truncations(bytes, load);
        Fuzz::byteFlips(bytes, 300, 30, load);
    }

    void collisionWriteRoundTrip()
    {
        const QByteArray bytes = buildCollisionModel(
            {"abc", QByteArray("\x01\0", 2)},
            "solid {\n\"index\" \"0\"\n\"name\" \"\"\n}\nbreak { \"model\" \"gib "
            "1\" \"health\" \"5\" }\n",
            16, 3, 7);
        const std::unique_ptr<CFilePHY> phy(CFilePHY::fromByteArray(bytes));
        QVERIFY(phy);
        QByteArray written;
        QVERIFY(phy->write(&written));
        QCOMPARE(written, bytes);

        // The count written is that of the solids held.
        phy->solids.removeLast();
        QVERIFY(phy->write(&written));
        QCOMPARE(written.mid(8, 4), QByteArray("\x01\0\0\0", 4));

        QDataStream noDevice;
        QVERIFY(!phy->write(noDevice));
        QCOMPARE(phy->error(), QString("Device Error: Not valid"));
    }

    void collisionHostile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("reads");
        const auto with = [](std::initializer_list<qint32> words, const QByteArray &tail) {
            ByteBuilder b;
            b.i32(16).i32(0);
            for (qint32 w : words)
                b.i32(w);
            return b.bytes(tail).data();
        };
        QTest::newRow("negative count") << with({-1, 0}, "") << false;
        QTest::newRow("huge count") << with({0x7fffffff, 0, 4}, "abcd") << false;
        QTest::newRow("negative length") << with({1, 0, -5}, "abcd") << false;
        QTest::newRow("length past end") << with({1, 0, 0x7ffffff0}, "abc") << false;
        QTest::newRow("header cut short") << with({}, "") << true;
    }
    void collisionHostile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, reads);
        QString error;
        const std::unique_ptr<CFilePHY> phy(CFilePHY::fromByteArray(bytes, error));
        QCOMPARE(bool(phy), reads);
        QCOMPARE(error, reads ? QString() : QString("Read Error: Incomplete"));
    }

    // One field from each run of the header layout and the tables; a name
    // pointing outside the file reads empty. Models are never written.
    void modelFields()
    {
        using namespace ModelOffset;
        ByteBuilder b;
        b.bytes(buildModel(crateSpec()));
        b.patchU32(EyePositionY, 0x40200000).patchU32(Mass, 0x41480000);  // 2.5f, 12.5f
        b.patchU8(RootLod, 3).patchU32(VertexAnimationScale, 0x3a000000); // 1/2048, no offset
        b.patchU32(ReservedAfterScale, 55).patchU32(ReservedTail, 66);
        for (int i = 0; i < 15; ++i)
            b.patchU8(Name + i, quint8("props/crate.mdl"[i]));
        b.patchU32(HeaderSize, 7).patchU32(HeaderSize + Header2Size - 4, quint32(-3));

        std::unique_ptr<CFileMDL> mdl(CFileMDL::fromByteArray(b.data()));
        QVERIFY(mdl);
        const MDLHeader &h = mdl->header;
        QCOMPARE(h.name, QByteArray("props/crate.mdl").leftJustified(64, '\0'));
        QCOMPARE(h.eyePosition.y, 2.5f);
        QCOMPARE(h.mass, 12.5f);
        QCOMPARE(h.rootLod, qint8(3));
        QCOMPARE(h.vertexAnimationScale, 1.0f / 2048);
        QCOMPARE(h.reservedAfterScale, 55);
        QCOMPARE(h.studioHdr2Offset, HeaderSize);
        QCOMPARE(h.reservedTail, 66);
        QCOMPARE(mdl->header2.leadingIntegers[0], 7);
        QCOMPARE(mdl->header2.reserved[58], -3);
        QCOMPARE(mdl->textureNames, (QList<QByteArray>{"Metal", "Wood"}));
        QCOMPARE(mdl->textureDirectories, (QList<QByteArray>{"models/props", "Shared"}));
        QCOMPARE(mdl->includeModels.value(1).name, QByteArray("models/props/crate.mdl"));
        QCOMPARE(mdl->keyvalueLines, (QStringList{"mdlkeyvalue", "{", "prop_data", "}"}));
        QByteArray none;
        QVERIFY(!mdl->write(&none));

        b.patchU32(int(h.textureOffset), 0x7fffffff);
        mdl.reset(CFileMDL::fromByteArray(b.data()));
        QVERIFY(mdl && mdl->textureNames.value(0).isEmpty());
    }

    void modelHostile_data()
    {
        using namespace ModelOffset;
        QTest::addColumn<int>("at");
        QTest::addColumn<quint32>("value");
        QTest::newRow("signature") << 0 << 0x58534449u;
        QTest::newRow("second header past end") << int(Header2Offset) << 0x7ffffff0u;
        QTest::newRow("second header over the end")
            << int(Header2Offset) << quint32(buildModel(crateSpec()).size() - Header2Size + 1);
        QTest::newRow("negative second header offset") << int(Header2Offset) << 0x80000000u;
        QTest::newRow("negative texture count") << int(TextureCount) << 0xffffffffu;
        QTest::newRow("huge texture count") << int(TextureCount) << 0x7fffffffu;
        QTest::newRow("texture table past end") << int(TextureOffset) << 0x7ffffff0u;
        QTest::newRow("negative texture offset") << int(TextureOffset) << 0x80000000u;
        QTest::newRow("huge folder count") << int(DirectoryCount) << 1000000u;
        QTest::newRow("key values past end") << int(KeyvalueCount) << 0x10000000u;
        QTest::newRow("negative key-value length") << int(KeyvalueCount) << 0xfffffff0u;
        QTest::newRow("huge include count") << int(IncludeCount) << 0x10000000u;
        QTest::newRow("short header") << -1 << 0u;
    }
    // Each damaged header fails without an error text; every prefix of it and
    // byte flips of the valid model load or fail cleanly.
    void modelHostile()
    {
        QFETCH(int, at);
        QFETCH(quint32, value);
        ByteBuilder b;
        b.bytes(buildModel(crateSpec()));
        if (at >= 0)
            b.patchU32(at, value);
        const QByteArray bytes = at >= 0 ? b.data() : b.data().left(ModelOffset::HeaderSize - 1);
        QString error;
        QVERIFY(!CFileMDL::fromByteArray(bytes, error));
        QVERIFY(error.isEmpty());

        const auto load = [](const QByteArray &data) { delete CFileMDL::fromByteArray(data); };
        Fuzz::truncations(b.data(), load);
        Fuzz::byteFlips(buildModel(crateSpec()), 300, quint32(at + 100), load);
    }

    void modelScanOrder()
    {
        GameFolder game;
        game.write("models/Props/Crate.mdl", buildModel(crateSpec()));
        game.write("models/Props/crate.VVD", "vvd");
        game.write("models/Props/Crate.phy",
                   buildCollisionModel({}, "break { \"model\" \"props/gib1\" }\n"));
        game.write("models/Props/Gib1.mdl", buildModel(ModelSpec()));
        game.write("materials/Models/Props/metal.vmt", "\"$basetexture\" \"models/props/metal_d\"");

        // The content scan has recorded the model itself, so its self-include
        // is not scanned again.
        CScanFoundList found;
        found.add("models/props/crate.mdl");
        QStringList errors;
        const std::unique_ptr<CFileMDL> mdl(
            CFileMDL::fromFile(game.base() + "models/Props/Crate.mdl"));
        QVERIFY(mdl);
        mdl->scanDependencies(found, textureKeys(), game.base(), &errors);
        QStringList expected{"models/props/crate.mdl", "models/Props/crate.VVD"};
        for (const char *suffix : {".dx90.vtx", ".dx80.vtx", ".sw.vtx", ".vtx", ".phy"})
            expected << QString("models/Props/Crate") + suffix;
        expected << "models/Props/Gib1.mdl";
        for (const char *suffix : {".vvd", ".dx90.vtx", ".dx80.vtx", ".sw.vtx", ".vtx", ".phy"})
            expected << QString("models/Props/Gib1") + suffix;
        expected << "models/shared_anims.mdl"
                 << "materials/Models/Props/metal.vmt"
                 << "materials/models/props/metal_d.vtf"
                 << "materials/Shared/Metal.vmt"
                 << "materials/models/props/Wood.vmt"
                 << "materials/Shared/Wood.vmt";
        QCOMPARE(found.paths(), expected);
        QCOMPARE(errors, QStringList{"Read Error: Unable to read \".../models/shared_anims.mdl\""});

        // From bytes there is no folder, hence no companions.
        const std::unique_ptr<CFileMDL> packed(CFileMDL::fromByteArray(buildModel(crateSpec())));
        CScanFoundList fromBytes;
        packed->scanDependencies(fromBytes, textureKeys(), game.base());
        QCOMPARE(fromBytes.paths().value(0), QString("models/shared_anims.mdl"));
    }
};

QTEST_GUILESS_MAIN(TestModelFiles)
#include "tst_modelfiles.moc"
