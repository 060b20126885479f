#include "cli/ItemPath.h"

#include "document/Schema.h"

#include <QHash>

namespace ItemPath {

namespace {

bool isTopLevel(const pugi::xml_node& node)
{
    return !Schema::isGroup(node) && !Schema::isRecord(node);
}

bool fits(const pugi::xml_node& item, Kind kind)
{
    switch (kind) {
    case Kind::Group: return Schema::isGroup(item);
    case Kind::Record: return Schema::isRecord(item);
    case Kind::Either: break;
    }
    return true;
}

// A child of one level with the names a path may give it.
struct Child {
    pugi::xml_node item;
    QString caption;
    int number = 1; // among its namesakes
    QString name;   // the caption, and "#N" with namesakes
};

std::vector<Child> childrenOf(const pugi::xml_node& parent)
{
    std::vector<Child> children;
    QHash<QString, int> counts;
    for (const pugi::xml_node& item : Schema::treeChildren(parent)) {
        Child& child = children.emplace_back(Child{item, Schema::itemCaption(item), 1, {}});
        child.number = ++counts[child.caption];
    }
    for (Child& child : children)
        child.name = counts.value(child.caption) > 1 ? child.caption + QLatin1Char('#') + QString::number(child.number)
                                                     : child.caption;
    return children;
}

// The entry of item among its level's children.
Child entryOf(const pugi::xml_node& item)
{
    for (Child& child : childrenOf(item.parent()))
        if (child.item == item)
            return child;
    return {item, Schema::itemCaption(item), 1, Schema::itemCaption(item)};
}

// Collects the items under parent that rest names, of kind. A child's step
// is its caption, or with namesakes also "CAPTION#N"; captions may hold "/"
// themselves (a web address), so every split of rest the tree allows is tried.
void collect(const pugi::xml_node& parent, QStringView rest, Kind kind, std::vector<pugi::xml_node>& found)
{
    for (const Child& child : childrenOf(parent)) {
        QStringList names{child.caption};
        if (child.name != child.caption)
            names << child.name;
        for (const QString& name : names) {
            if (rest == name) {
                if (fits(child.item, kind))
                    found.push_back(child.item);
            } else if (Schema::isGroup(child.item) && rest.startsWith(name) && rest.size() > name.size()
                       && rest.at(name.size()) == QLatin1Char('/')) {
                collect(child.item, rest.mid(name.size() + 1), kind, found);
            }
        }
    }
}

void walkUnder(const pugi::xml_node& parent, Step& step, QStringList& texts,
               const std::function<void(const Step&)>& visit)
{
    for (const Child& child : childrenOf(parent)) {
        step.item = child.item;
        step.number = child.number;
        step.captions << child.caption;
        step.name = child.name;
        texts << step.name;
        step.path = texts.join(QLatin1Char('/'));
        visit(step);
        if (Schema::isGroup(child.item))
            walkUnder(child.item, step, texts, visit);
        step.captions.removeLast();
        texts.removeLast();
    }
}

} // namespace

Lookup find(const pugi::xml_node& root, const QString& path, Kind kind)
{
    if (path.isEmpty() || path == QLatin1String("/"))
        return {kind == Kind::Record ? pugi::xml_node() : root, {}};
    std::vector<pugi::xml_node> matches;
    collect(root, path, kind, matches);
    if (matches.size() == 1)
        return {matches.front(), {}};
    Lookup ambiguous;
    for (const pugi::xml_node& match : matches)
        ambiguous.candidates << text(match);
    return ambiguous;
}

QStringList captions(const pugi::xml_node& item)
{
    QStringList found;
    for (pugi::xml_node node = item; node && !isTopLevel(node); node = node.parent())
        found.prepend(Schema::itemCaption(node));
    return found;
}

int namesakeNumber(const pugi::xml_node& item)
{
    return entryOf(item).number;
}

QString text(const pugi::xml_node& item)
{
    QStringList steps;
    for (pugi::xml_node node = item; node && !isTopLevel(node); node = node.parent())
        steps.prepend(entryOf(node).name);
    return steps.join(QLatin1Char('/'));
}

void walk(const pugi::xml_node& root, const std::function<void(const Step&)>& visit)
{
    Step step;
    QStringList texts;
    walkUnder(root, step, texts, visit);
}

} // namespace ItemPath
