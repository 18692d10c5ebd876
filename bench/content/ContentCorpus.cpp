#include "ContentCorpus.h"

#include "BenchData.h"
#include "ContentIndexSchema.h"
#include "ContentIndexStore.h"
#include "ContentSql.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>
#include <cstdio>

namespace zq::bench {

namespace {

const QStringList& Vocabulary()
{
    static const QStringList words = QString::fromUtf8(
        "减速器 箱体 箱盖 输入轴 输出轴 齿轮 轴承 端盖 密封圈 油封 键槽 花键 螺栓 螺母 垫圈 销钉 联轴器 "
        "铸件 锻件 焊接件 热处理 调质 正火 退火 时效处理 表面粗糙度 形位公差 同轴度 圆跳动 平行度 垂直度 "
        "技术要求 装配 清洗 涂漆 防锈 润滑脂 润滑油 油标 通气器 视孔盖 吊耳 地脚螺栓 定位销 "
        "额定功率 转速 传动比 中心距 模数 齿数 压力角 螺旋角 变位系数 侧隙 接触斑点 "
        "材料 灰铸铁 球墨铸铁 碳素钢 合金钢 不锈钢 黄铜 铝合金 工程塑料 丁腈橡胶 "
        "检验 试验 空运转 负荷试验 温升 噪声 振动 泄漏 出厂 包装 运输 储存 验收 标准 规范 "
        "图纸 明细表 说明书 计算书 评审 更改 发放 归档 版本 审核 批准 设计 工艺 制造 质量 "
        "尺寸 公差 配合 间隙 过盈 基准 倒角 圆角 中心孔 退刀槽 螺纹 孔径 外径 长度 宽度 厚度")
                                          .split(u' ', Qt::SkipEmptyParts);
    return words;
}

// A fixed random sequence (the same on every machine).
class Sequence {
public:
    explicit Sequence(quint64 seed) : m_state(seed) {}
    quint32 next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(m_state >> 33);
    }
    int below(int n) { return int(next() % quint32(n)); }

private:
    quint64 m_state;
};

QString Document(int index)
{
    Sequence random(quint64(index) * 7919 + 17);
    const int length = 200 + random.below(1801);
    QString text;
    text.reserve(length + 16);
    if (index % kCommonEvery == 0)
        text += QStringLiteral("表面") + kCommonWord + QStringLiteral("深度0.8～1.2 mm。");
    while (text.size() < length) {
        const int what = random.below(10);
        if (what == 0)
            text += QStringLiteral("M%1×%2 ").arg(6 + random.below(20)).arg(10 + random.below(90));
        else if (what == 1)
            text += QString::number(random.below(1000) / 100.0, 'f', 2) + u' ';
        else
            text += Vocabulary().at(random.below(int(Vocabulary().size())));
        if (random.below(8) == 0)
            text += random.below(2) ? u'，' : u'。';
    }
    if (index % kRareEvery == 0)
        text += QStringLiteral("衬套材料改用") + kRareWord + u'。';
    return text;
}

index::FileIdentity IdentityOf(int index)
{
    return {QStringLiteral("Documents"), QStringLiteral("BENCH"), QStringLiteral("B-%1").arg(index, 5, 10, QLatin1Char('0')),
            QStringLiteral("A"), QStringLiteral("doc-%1.txt").arg(index, 5, 10, QLatin1Char('0'))};
}

index::FileFacts FactsOf(int index, const QString& text)
{
    const QDate day = QDate(2026, 12, 8).addDays(-(index % 3650));
    return {content::ContentKindNames().at(content::KindDesign), QStringLiteral("技术文件 %1").arg(index),
            QStringLiteral("文本文档"), QString::number(text.toUtf8().size()),
            day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 10:00:00")};
}

bool FillIndex(const QString& url, const QStringList& corpus, QString* error)
{
    index::ContentIndexStore store;
    if (!store.open(url, error))
        return false;
    for (int i = 0; i < corpus.size(); ++i) {
        if (!store.put(IdentityOf(i), FactsOf(i, corpus.at(i)), corpus.at(i), QString(), false, -1, error))
            return false;
        if (i % 500 == 499 && !store.commit(error))
            return false;
    }
    if (!store.commit(error))
        return false;
    store.refreshStatistics();
    return true;
}

} // namespace

QStringList Corpus(const QString& dataDir, int documents, QString* error)
{
    const QString folder = dataDir + QStringLiteral("/content");
    QDir().mkpath(folder);
    QFile cached(folder + QStringLiteral("/corpus-%1.txt").arg(documents));
    if (cached.open(QIODevice::ReadOnly)) {
        QStringList corpus = QString::fromUtf8(cached.readAll()).split(u'\n');
        if (corpus.size() == documents)
            return corpus;
        cached.close();
    }
    std::fprintf(stderr, "bench: making %d synthetic documents (kept for later runs)\n", documents);
    QStringList corpus;
    for (int i = 0; i < documents; ++i)
        corpus.append(Document(i));
    if (!cached.open(QIODevice::WriteOnly | QIODevice::Truncate) || cached.write(corpus.join(u'\n').toUtf8()) < 0)
        *error = QStringLiteral("cannot write %1").arg(cached.fileName());
    return corpus;
}

QString CorpusSqliteIndex(const QString& dataDir, const QStringList& corpus, QString* error)
{
    const QString path =
        dataDir + QStringLiteral("/content/index-%1-v%2.db").arg(corpus.size()).arg(content::kContentIndexVersion);
    // The mark holds the layout the index was made with: one made by an earlier layout of the
    // same version is made again.
    const QString done = path + QStringLiteral(".done");
    const QByteArray layout = index::schema::Statements(false).join(u'\n').toUtf8();
    QFile made(done);
    if (QFile::exists(path) && made.open(QIODevice::ReadOnly) && made.readAll() == layout)
        return path;
    made.close();
    std::fprintf(stderr, "bench: indexing %lld synthetic documents into %s (kept for later runs)\n",
                 qlonglong(corpus.size()), qPrintable(path));
    for (const QString& stale : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")})
        QFile::remove(stale);
    if (!FillIndex(QStringLiteral("sqlite:") + path, corpus, error))
        return QString();
    QFile mark(done);
    if (!mark.open(QIODevice::WriteOnly | QIODevice::Truncate) || mark.write(layout) != layout.size())
        std::fprintf(stderr, "bench: cannot write %s; the index is made again next time\n", qPrintable(done));
    return path;
}

QString CorpusPostgresIndex(const QString& adminUrl, const QStringList& corpus, QString* error)
{
    QUrl url(adminUrl);
    const QString database =
        QStringLiteral("zqbench_content_%1_v%2").arg(corpus.size()).arg(content::kContentIndexVersion);
    url.setPath(u'/' + database);
    // The database is kept; it is filled again when it does not hold the whole corpus.
    qint64 rows = -1;
    WithPostgres(adminUrl, [&](QSqlDatabase& admin) {
        QSqlQuery exists(admin);
        exists.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(database));
        if (!exists.next())
            QSqlQuery(admin).exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(database));
    });
    WithPostgres(url.toString(), [&](QSqlDatabase& db) {
        QSqlQuery count(db);
        if (count.exec(QStringLiteral("SELECT count(*) FROM ContentFile")) && count.next())
            rows = count.value(0).toLongLong();
        if (rows >= 0 && rows != corpus.size())
            QSqlQuery(db).exec(QStringLiteral("DROP TABLE ContentFile, ContentIndexInfo"));
    });
    if (rows == corpus.size())
        return url.toString();
    std::fprintf(stderr, "bench: indexing %lld synthetic documents into %s (kept for later runs)\n",
                 qlonglong(corpus.size()), qPrintable(database));
    return FillIndex(url.toString(), corpus, error) ? url.toString() : QString();
}

qint64 Utf8Bytes(const QStringList& corpus)
{
    qint64 bytes = 0;
    for (const QString& text : corpus)
        bytes += text.toUtf8().size();
    return bytes;
}

} // namespace zq::bench
