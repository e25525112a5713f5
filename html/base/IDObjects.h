// Targets of links and fragment names: anything the document can scroll to, the named anchor at a
// character position, and the document's list of names.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace velmoran {

// Anything a link or a fragment name can scroll to.
class TIDObject {
public:
    virtual ~TIDObject() = default;
    // The vertical position of the target in the laid-out document, in document pixels.
    virtual int GetYPosition() = 0;
};

// What a named anchor asks of its document: the Y of a character position.
class TChPosDocument {
public:
    virtual ~TChPosDocument() = default;
    virtual int YPositionOfChar(int chPos) = 0;
};

// A named anchor at a character position of the document text.
class TChPosObj : public TIDObject {
public:
    TChPosObj(TChPosDocument* list, int chPos) : ChPos(chPos), List(list) {}
    int GetYPosition() override { return List ? List->YPositionOfChar(ChPos) : 0; }

    int ChPos;
    TChPosDocument* List;  // not owned
};

// Maps anchor NAME and element ID values of one document to their targets. Names compare without
// regard to case. Named anchors (TChPosObj) belong to the list; other targets belong to the
// document tree.
class TIDNameList {
public:
    explicit TIDNameList(TChPosDocument* ownerList = nullptr) : OwnerList(ownerList) {}
    TIDNameList(const TIDNameList&) = delete;
    TIDNameList& operator=(const TIDNameList&) = delete;

    // Replaces an entry of the same name (freeing its anchor object, if it is one).
    void AddObject(const std::string& name, TIDObject* object);
    void AddChPosObject(const std::string& name, int pos);
    // Forgets the entry of a name when it is this object (a target that goes before the list).
    void RemoveObject(const std::string& name, const TIDObject* object);
    // The target under a name, or nullptr.
    TIDObject* Find(const std::string& name) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear() { entries_.clear(); }

    TChPosDocument* OwnerList;

private:
    struct Entry {
        TIDObject* Object = nullptr;
        std::unique_ptr<TChPosObj> Owned;
    };
    struct Less {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, Entry, Less> entries_;
};

}  // namespace velmoran
