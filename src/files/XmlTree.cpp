#include "XmlTree.h"

#include <QXmlStreamReader>

const XmlNode *XmlNode::child(QLatin1String childName) const
{
    for (const XmlNode &node : children) {
        if (node.name == childName)
            return &node;
    }
    return nullptr;
}

bool parseXmlTree(const QString &document, XmlNode &root, QString *error, int maxDepth)
{
    QXmlStreamReader xml(document);
    std::vector<XmlNode *> open; // kept nodes from the root down
    int depth = 0;
    bool rootSeen = false;
    auto fail = [&](const QString &message) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(message);
        return false;
    };

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (depth == 1) {
                rootSeen = true;
                root = XmlNode();
                root.name = xml.name().toString();
                root.line = xml.lineNumber();
                open.push_back(&root);
            } else if (depth <= maxDepth) {
                // Only the innermost open node grows, so pointers to its
                // ancestors stay valid.
                XmlNode &node = open.back()->children.emplace_back();
                node.name = xml.name().toString();
                node.line = xml.lineNumber();
                open.push_back(&node);
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth <= maxDepth)
                open.pop_back();
            --depth;
            break;
        case QXmlStreamReader::Characters:
            // The root's own text is never asked for; keeping it would only
            // copy the whole file.
            for (size_t k = 1; k < open.size(); ++k)
                open[k]->text += xml.text();
            break;
        case QXmlStreamReader::EntityReference:
            return fail(QStringLiteral("unresolved entity &%1;").arg(xml.name()));
        default:
            break;
        }
    }
    if (xml.hasError())
        return fail(xml.errorString());
    if (!rootSeen)
        return fail(QStringLiteral("no root element"));
    return true;
}
