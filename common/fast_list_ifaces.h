// Keyed lists of item components, their visitors and the optional display interfaces of items.
#pragma once

#include "platform/com/unknwn.h"

// Keys are read into buffers of this size, so longer keys are seen cut.
constexpr ULONG kFastListKeySize = 512;

struct IvokFastList : IUnknown {
  VOK_INTERFACE(IUnknown, 0xA92E31E0, 0x7423, 0x11D2, 0xA3, 0xEC, 0xEE, 0x5D, 0xF6, 0x87, 0xF5,
                0x83);
  virtual HRESULT STDMETHODCALLTYPE Init(LONG bUnique) = 0;
  // Takes over the caller's reference when the item is added (S_OK), not otherwise.
  virtual HRESULT STDMETHODCALLTYPE Add(IUnknown* pUnk, LONG bMoveFront) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsInside(LPCSTR szKey, LONG bCaseSensitive) = 0;
  // The removed item's reference passes to the caller.
  virtual HRESULT STDMETHODCALLTYPE Delete(LPCSTR szKey) = 0;
  virtual HRESULT STDMETHODCALLTYPE Iterate(IUnknown* pIterUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReverseIterate(IUnknown* pIterUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE Sort(IUnknown* pSortUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
  // No reference is added to the item handed out.
  virtual HRESULT STDMETHODCALLTYPE Find(LPCSTR szKey, IUnknown** ppUnk, LONG bCaseSensitive) = 0;
  virtual HRESULT STDMETHODCALLTYPE Back(IUnknown** ppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE PopBack() = 0;
  virtual HRESULT STDMETHODCALLTYPE Front(IUnknown** ppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE PopFront() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ItemCount(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) = 0;
  // Empties the list without releasing the items.
  virtual HRESULT STDMETHODCALLTYPE RemoveAll() = 0;

 protected:
  ~IvokFastList() = default;
};

struct IvokFastListItem : IUnknown {
  VOK_INTERFACE(IUnknown, 0xA92E31E2, 0x7423, 0x11D2, 0xA3, 0xEC, 0xEE, 0x5D, 0xF6, 0x87, 0xF5,
                0x83);
  // Caller-buffer convention: *pSize is the room including the zero in, the bytes copied out.
  virtual HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IUnknown** ppUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ItemData(ULONG newVal) = 0;

 protected:
  ~IvokFastListItem() = default;
};

// Visitor of Iterate/ReverseIterate; also the comparer of Sort (slot 3 called with two items:
// a non-negative status means the first goes before the second).
struct IvokFastListItemIterator : IUnknown {
  VOK_INTERFACE(IUnknown, 0x7C2D9390, 0x74B9, 0x11D2, 0xA3, 0xED, 0x96, 0xD5, 0x32, 0x0C, 0xFE,
                0x83);
  virtual HRESULT STDMETHODCALLTYPE Begin() = 0;
  virtual HRESULT STDMETHODCALLTYPE End() = 0;
  // A negative status stops the walk.
  virtual HRESULT STDMETHODCALLTYPE Item(IUnknown* pUnk) = 0;

 protected:
  ~IvokFastListItemIterator() = default;
};

// The slot-3 view of a comparer handed to Sort (the same slot as Begin of a visitor).
struct IvokFastListItemComparer : IUnknown {
  static constexpr IID kIID = IvokFastListItemIterator::kIID;
  using Base = IUnknown;
  virtual HRESULT STDMETHODCALLTYPE Compare(IUnknown* a, IUnknown* b) = 0;

 protected:
  ~IvokFastListItemComparer() = default;
};

struct IvokFastListItemText : IUnknown {
  VOK_INTERFACE(IUnknown, 0xD0BC9200, 0xA3E2, 0x11D2, 0xA6, 0x23, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  // lpszText holds 512 bytes.
  virtual HRESULT STDMETHODCALLTYPE GetText(LPSTR lpszText) = 0;

 protected:
  ~IvokFastListItemText() = default;
};

struct IvokFastListItemColumns : IUnknown {
  VOK_INTERFACE(IUnknown, 0x065B16F0, 0x7815, 0x11D2, 0xB5, 0x02, 0xEE, 0x83, 0xF1, 0x3C, 0x60,
                0x58);
  virtual HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) = 0;
  // lpszText holds 512 bytes.
  virtual HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) = 0;

 protected:
  ~IvokFastListItemColumns() = default;
};

// Target types of IvokFastListItemIteratorCtl::Init: QListWidget, QComboBox, QTreeWidget (one
// row per item), QMenu (passed as the HWND: a QMenu is a QWidget).
constexpr LONG kIteratorCtlListBox = 0;
constexpr LONG kIteratorCtlComboBox = 1;
constexpr LONG kIteratorCtlListView = 2;
constexpr LONG kIteratorCtlMenu = 3;
// Where the control leaves its data on Qt entries: the item identity (quintptr, no reference)
// under Qt::UserRole, and for list-view rows the image index (int, -1 = none) under
// Qt::UserRole + 1 of column 0. A list-view owner that sets the dynamic property
// kIteratorCtlImagesProperty to a QList<QIcon> gets the row icons set from it by index.
constexpr int kIteratorCtlItemRole = 0x0100;
constexpr int kIteratorCtlImageRole = 0x0101;
inline constexpr char kIteratorCtlImagesProperty[] = "vokImages";

struct IvokFastListItemIteratorCtl : IvokFastListItemIterator {
  VOK_INTERFACE(IvokFastListItemIterator, 0xDA6EB2B1, 0x74E9, 0x11D2, 0xA3, 0xED, 0x96, 0xD5, 0x32,
                0x0C, 0xFE, 0x83);
  virtual HRESULT STDMETHODCALLTYPE Init(HWND hwnd, LONG lType) = 0;

 protected:
  ~IvokFastListItemIteratorCtl() = default;
};

struct IvokComCtlVer : IUnknown {
  VOK_INTERFACE(IUnknown, 0x478C6AB5, 0x7647, 0x11D2, 0xB5, 0x00, 0xFC, 0x38, 0x1A, 0x08, 0x95,
                0x5F);
  virtual HRESULT STDMETHODCALLTYPE Init() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMajorVersion(ULONG* pulMajor) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMinorVersion(ULONG* pulMinor) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsVersion(USHORT wVerID) = 0;

 protected:
  ~IvokComCtlVer() = default;
};
