#pragma once

#include <QByteArray>
#include <QList>

class QObject;

// An object of a stored description that refers to components by name. The text of each
// reference is the object's property of that name: "Data1.renyuan" for a component of another
// module, "renyuan1" for one of its own module. The loader resolves the texts and hands over the
// components; references to modules not yet created wait until they are.
class Referrer
{
public:
    virtual ~Referrer() = default;
    virtual QList<QByteArray> referenceProperties() const = 0;
    // Takes the component a reference names. Throws Error when it is of the wrong kind.
    virtual void resolveReference(const QByteArray &property, QObject *component) = 0;
};
