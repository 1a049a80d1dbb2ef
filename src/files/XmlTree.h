#pragma once
// A small element tree for reading the configuration file: names, text and
// children, found by name the way the file's sections and fields are.
#include <QString>
#include <vector>

struct XmlNode {
    QString name;
    // All character data inside the element, its descendants' included.
    QString text;
    qint64 line = 0;
    std::vector<XmlNode> children;

    // First child element of that name, or nullptr.
    const XmlNode *child(QLatin1String childName) const;
};

// Parses a whole document. Elements deeper than `maxDepth` are not kept as
// nodes (their text still counts for their ancestors); the file has four
// levels. False with the parser's message and line when the text is not
// well-formed XML.
bool parseXmlTree(const QString &document, XmlNode &root, QString *error, int maxDepth = 4);
