#pragma once
// Random whole numbers in a closed range, and a small key-value store.
#include <QHash>
#include <QString>
#include <QVariant>
#include <random>

class Random {
public:
    Random();
    // A whole number from low to high, both included.
    qint64 InRange(qint64 low, qint64 high);
    // Tests make the choices repeatable.
    void Seed(quint32 seed) { engine_.seed(seed); }

private:
    std::mt19937 engine_;
};

class Dictionary {
public:
    bool HasKey(const QVariant& key) const { return values_.contains(key.toString()); }
    QVariant Value(const QVariant& key) const { return values_.value(key.toString()); }
    void SetValue(const QVariant& key, const QVariant& value) { values_.insert(key.toString(), value); }

private:
    QHash<QString, QVariant> values_;
};
