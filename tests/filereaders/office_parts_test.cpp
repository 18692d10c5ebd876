// Everything an Office or OpenDocument file says, in reading order after its body: Word headers,
// footers, footnotes, endnotes, comments and text boxes; PowerPoint speaker notes and comments;
// OpenDocument notes, comments, headers and footers, speaker notes.
#include "ExtractCases.h"
#include "ExtractTestFiles.h"
#include "TextExtraction.h"

#include <gtest/gtest.h>

using namespace zq::extract;
using zq::test::ExpectTexts;
using zq::test::Zip;

namespace {

const char* const kW = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                       "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
                       "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" "
                       "xmlns:v=\"urn:schemas-microsoft-com:vml\"";

QByteArray WordPart(const char* root, const QString& inside)
{
    return QStringLiteral("<w:%1 %2>%3</w:%1>").arg(QLatin1StringView(root), QLatin1StringView(kW), inside).toUtf8();
}

QString Paragraph(const QString& text)
{
    return QStringLiteral("<w:p><w:r><w:t>%1</w:t></w:r></w:p>").arg(text);
}

QByteArray Relationships(const QList<std::pair<QString, QString>>& typeAndTarget)
{
    QString xml = QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">");
    int id = 1;
    for (const auto& [type, target] : typeAndTarget)
        xml += QStringLiteral("<Relationship Id=\"rId%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                              "relationships/%2\" Target=\"%3\"/>")
                   .arg(id++)
                   .arg(type, target);
    return (xml + QStringLiteral("</Relationships>")).toUtf8();
}

// A paragraph whose middle holds a text box, in both of Word's forms of it.
const QString kBodyWithTextBox = QStringLiteral(
    "<w:p><w:r><w:t>部分用户</w:t></w:r><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wps:txbx>"
    "<w:txbxContent><w:p><w:r><w:t>文本框里的字</w:t></w:r></w:p></w:txbxContent></wps:txbx></w:drawing></mc:Choice>"
    "<mc:Fallback><w:pict><v:textbox><w:txbxContent><w:p><w:r><w:t>文本框里的字</w:t></w:r></w:p></w:txbxContent>"
    "</v:textbox></w:pict></mc:Fallback></mc:AlternateContent></w:r><w:r><w:t>代码</w:t></w:r>"
    "<w:r><w:footnoteReference w:id=\"1\"/></w:r></w:p>");

QList<std::pair<QString, QByteArray>> WordParts()
{
    return {
        {QStringLiteral("word/document.xml"), WordPart("document", QStringLiteral("<w:body>") + kBodyWithTextBox +
                                                                       Paragraph(QStringLiteral("第二段")) + QStringLiteral("</w:body>"))},
        {QStringLiteral("word/header1.xml"), WordPart("hdr", Paragraph(QStringLiteral("文件编号 ZQ8600-01")))},
        {QStringLiteral("word/footer1.xml"), WordPart("ftr", Paragraph(QStringLiteral("第一页页脚")))},
        {QStringLiteral("word/footnotes.xml"),
         WordPart("footnotes", QStringLiteral("<w:footnote w:type=\"separator\" w:id=\"0\"><w:p><w:r><w:separator/></w:r></w:p>"
                                              "</w:footnote><w:footnote w:id=\"1\">") +
                                   Paragraph(QStringLiteral("脚注说明")) + QStringLiteral("</w:footnote>"))},
        {QStringLiteral("word/endnotes.xml"), WordPart("endnotes", QStringLiteral("<w:endnote w:id=\"1\">") +
                                                                      Paragraph(QStringLiteral("尾注说明")) + QStringLiteral("</w:endnote>"))},
        {QStringLiteral("word/comments.xml"),
         WordPart("comments", QStringLiteral("<w:comment w:id=\"0\" w:author=\"张伟\" w:date=\"2024-01-01T00:00:00Z\">") +
                                  Paragraph(QStringLiteral("请核对材料")) + QStringLiteral("</w:comment>"))},
    };
}

const char* const kPresentationNamespaces =
    "xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\" "
    "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";

QByteArray SlideXml(const char* root, const QString& shapes)
{
    return QStringLiteral("<p:%1 %2><p:cSld><p:spTree>%3</p:spTree></p:cSld></p:%1>")
        .arg(QLatin1StringView(root), QLatin1StringView(kPresentationNamespaces), shapes)
        .toUtf8();
}

QString Shape(const QString& runs)
{
    return QStringLiteral("<p:sp><p:txBody><a:p>%1</a:p></p:txBody></p:sp>").arg(runs);
}

QString TextRun(const QString& text)
{
    return QStringLiteral("<a:r><a:t>%1</a:t></a:r>").arg(text);
}

const QString kOdfNamespaces = QStringLiteral(
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
    "xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\" "
    "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"");

QByteArray OdfContent(const QString& kind, const QString& body)
{
    return QStringLiteral("<office:document-content %1><office:body><office:%2>%3</office:%2></office:body>"
                          "</office:document-content>")
        .arg(kOdfNamespaces, kind, body)
        .toUtf8();
}

QByteArray OdfStyles(const QString& masterPages)
{
    return QStringLiteral("<office:document-styles %1><office:master-styles>%2</office:master-styles>"
                          "</office:document-styles>")
        .arg(kOdfNamespaces, masterPages)
        .toUtf8();
}

} // namespace

TEST(OfficeParts, WordBodyThenTextBoxesHeadersFootersNotesAndComments)
{
    QList<std::pair<QString, QByteArray>> byRelationships = WordParts();
    byRelationships.append({QStringLiteral("word/_rels/document.xml.rels"),
                            Relationships({{QStringLiteral("footer"), QStringLiteral("footer1.xml")},
                                           {QStringLiteral("header"), QStringLiteral("header1.xml")},
                                           {QStringLiteral("comments"), QStringLiteral("comments.xml")},
                                           {QStringLiteral("footnotes"), QStringLiteral("/word/footnotes.xml")},
                                           {QStringLiteral("endnotes"), QStringLiteral("endnotes.xml")},
                                           {QStringLiteral("hyperlink"), QStringLiteral("http://example.com/")}})});
    // The text box is read once and after its paragraph, which keeps its phrase whole.
    const char* const expected = "部分用户代码\n第二段\n文本框里的字\n文件编号 ZQ8600-01\n第一页页脚\n脚注说明\n尾注说明\n请核对材料";
    ExpectTexts({
        {"parts named by the document's relationships", FileType::OfficeOpenXml, Zip(byRelationships), expected},
        {"parts by Word's names, without relationships", FileType::OfficeOpenXml, Zip(WordParts()), expected},
    });
}

TEST(OfficeParts, PowerPointSlidesInTheirOrderThenSpeakerNotesThenComments)
{
    const QString presentation = QStringLiteral(
        "<p:presentation %1><p:sldIdLst><p:sldId id=\"256\" r:id=\"rId2\"/><p:sldId id=\"257\" r:id=\"rId1\"/>"
        "</p:sldIdLst></p:presentation>").arg(QLatin1StringView(kPresentationNamespaces));
    const QByteArray notes = SlideXml("notes", Shape(TextRun(QStringLiteral("讲稿: 先讲密封圈"))) +
                                                   Shape(QStringLiteral("<a:fld id=\"{1}\" type=\"slidenum\"><a:t>2</a:t></a:fld>")));
    const QByteArray comments =
        QStringLiteral("<p:cmLst %1><p:cm authorId=\"0\" idx=\"1\"><p:text>图号要改</p:text></p:cm></p:cmLst>")
            .arg(QLatin1StringView(kPresentationNamespaces))
            .toUtf8();
    ExpectTexts({
        {"slides in the presentation's order, notes and comments by each slide's relationships", FileType::OfficeOpenXml,
         Zip({{QStringLiteral("ppt/presentation.xml"), presentation.toUtf8()},
              {QStringLiteral("ppt/_rels/presentation.xml.rels"),
               Relationships({{QStringLiteral("slide"), QStringLiteral("slides/slide1.xml")},
                              {QStringLiteral("slide"), QStringLiteral("slides/slide2.xml")}})},
              {QStringLiteral("ppt/slides/slide1.xml"), SlideXml("sld", Shape(TextRun(QStringLiteral("后一页"))))},
              {QStringLiteral("ppt/slides/slide2.xml"), SlideXml("sld", Shape(TextRun(QStringLiteral("第一页")) + TextRun(QStringLiteral("标题"))))},
              {QStringLiteral("ppt/slides/_rels/slide1.xml.rels"),
               Relationships({{QStringLiteral("notesSlide"), QStringLiteral("../notesSlides/notesSlide7.xml")},
                              {QStringLiteral("comments"), QStringLiteral("../comments/comment1.xml")}})},
              {QStringLiteral("ppt/notesSlides/notesSlide7.xml"), notes},
              {QStringLiteral("ppt/comments/comment1.xml"), comments}}),
         "第一页标题\n后一页\n讲稿: 先讲密封圈\n图号要改"},
        {"notes by their numbers when the slides name none", FileType::OfficeOpenXml,
         Zip({{QStringLiteral("ppt/slides/slide1.xml"), SlideXml("sld", Shape(TextRun(QStringLiteral("幻灯片"))))},
              {QStringLiteral("ppt/notesSlides/notesSlide1.xml"), notes}}),
         "幻灯片\n讲稿: 先讲密封圈"},
    });
}

TEST(OfficeParts, OpenDocumentNotesCommentsHeadersAndFootersAfterTheBody)
{
    const QString paragraph = QStringLiteral(
        "<text:p>部分用户<text:note text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
        "<text:note-body><text:p>脚注说明</text:p></text:note-body></text:note>代码"
        "<office:annotation><dc:creator>张伟</dc:creator><dc:date>2024-01-01T10:00:00</dc:date>"
        "<text:p>请核对</text:p></office:annotation>。</text:p>");
    const QByteArray styles = OdfStyles(QStringLiteral(
        "<style:master-page style:name=\"Standard\"><style:header><text:p>文件编号 ZQ8600-01</text:p></style:header>"
        "<style:footer><text:p>第<text:page-number>1</text:page-number>页 技术条件</text:p></style:footer></style:master-page>"));
    const QString slide = QStringLiteral(
        "<draw:page draw:name=\"page1\"><draw:frame><draw:text-box><text:p>第一页</text:p></draw:text-box></draw:frame>"
        "<presentation:notes><draw:frame><draw:text-box><text:p>讲稿</text:p></draw:text-box></draw:frame></presentation:notes>"
        "</draw:page><draw:page><draw:frame><draw:text-box><text:p>第二页</text:p></draw:text-box></draw:frame></draw:page>");
    const QByteArray masterFooter = OdfStyles(QStringLiteral(
        "<style:master-page><draw:frame presentation:class=\"title\"><draw:text-box><text:p>标题占位</text:p></draw:text-box>"
        "</draw:frame><draw:frame presentation:class=\"footer\"><draw:text-box><text:p>母版页脚</text:p></draw:text-box>"
        "</draw:frame></style:master-page>"));
    ExpectTexts({
        {"a text document: the note and the comment after the body, then the header and footer", FileType::OpenDocument,
         Zip({{QStringLiteral("content.xml"), OdfContent(QStringLiteral("text"), paragraph)},
              {QStringLiteral("styles.xml"), styles}}),
         "部分用户代码。\n脚注说明\n请核对\n文件编号 ZQ8600-01\n第页 技术条件"},
        {"a presentation: speaker notes after the slides; a master page's footer", FileType::OpenDocument,
         Zip({{QStringLiteral("content.xml"), OdfContent(QStringLiteral("presentation"), slide)},
              {QStringLiteral("styles.xml"), masterFooter}}),
         "第一页\n第二页\n讲稿\n母版页脚"},
    });
}
