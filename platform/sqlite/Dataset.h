#pragma once
// A table dataset: the rowids of every row in index order (loaded in one
// statement), the current record read by rowid, a filter hook, bookmarks,
// seeks on an index prefix, editing with the before- and after- hooks, and
// observers (the bound controls and views) that can be muted.

#include "platform/sqlite/Database.h"
#include "platform/sqlite/Field.h"

#include <QHash>
#include <functional>
#include <map>
#include <memory>
#include <vector>

enum class DatasetState { Inactive, Browse, Edit, Insert };
// The seek options, in the order of their numbers 0 to 5.
enum class SeekMode { FirstEq, LastEq, AfterEq, After, BeforeEq, Before };
enum class DatasetChange {
    Data,   // rows, order, state or the whole record changed
    Record, // a field of the current record was assigned
    Scroll  // another record became current
};
enum class PostErrorAction { Fail, Abort };

class Dataset;

class DatasetObserver {
public:
    virtual ~DatasetObserver() = default;
    virtual void datasetChanged(Dataset &dataset, DatasetChange change) = 0;
    // Bound editors write their pending text into the record (before a post).
    virtual void writePending(Dataset &) {}
};

class Dataset : public FieldSource {
public:
    using Bookmark = qint64;

    Dataset(Database &db, const QString &table);
    ~Dataset() override;
    Dataset(const Dataset &) = delete;
    Dataset &operator=(const Dataset &) = delete;

    QString tableName() const { return m_table; }
    Database *database() const { return m_db; }

    // The index that orders the rows ("" = rowid order). Changed while open,
    // the current record stays current.
    void setIndexName(const QString &name);
    QString indexName() const { return m_indexName; }
    QStringList indexFieldNames() const;

    void open();
    // Cancels pending edits and drops the rows; hooks, filter and index stay.
    void close();
    bool active() const { return m_active; }
    // Reloads the rows (and runs the filter again); the record stays current
    // when it is still shown, else the first one is.
    void requery();
    DatasetState State() const { return m_state; }

    // ---- moving --------------------------------------------------------------
    void First();
    void Last();
    void Next();
    void Prior();
    int MoveBy(int distance);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    // No record shown: the fields read empty.
    bool IsEmpty() const;
    // Rows in the table, and rows the filter shows.
    int RecordCount() const { return int(m_keys.size()); }
    int VisibleCount() const { return int(rows().size()); }
    // 0-based position among the shown rows, -1 when there is none.
    int RecordIndex() const { return m_pos; }
    void SetRecordIndex(int index);
    // Looks for a key prefix on the current index by its collation. The
    // equal modes take the first (last) equal row the filter shows; a match
    // the filter hides gives false. False leaves the record where it was.
    bool Seek(const QVariantList &key, SeekMode mode);

    // ---- bookmarks (rowids) -------------------------------------------------
    // 0 when no record is current.
    Bookmark GetBookmark() const;
    // Throws DbError when the row is gone or hidden.
    void GotoBookmark(Bookmark bookmark);
    bool BookmarkValid(Bookmark bookmark) const;
    // The shown rows, in order.
    std::vector<Bookmark> VisibleBookmarks() const { return rows(); }

    // ---- filter -------------------------------------------------------------
    // Reads the candidate's fields through this dataset; runs in one pass over
    // every row when filtering goes on, on requery and for each posted row.
    // A hook that throws switches filtering off.
    std::function<bool(Dataset &)> OnFilterRecord;
    // Columns the hook reads (empty: all); others are fetched when read.
    // A name that is no field is passed over ("rowid": none but the rowid).
    QStringList FilterColumns;
    void SetFiltered(bool on);
    bool Filtered() const { return m_filtered; }
    // Runs the hook over every row again (its definition changed).
    void Refilter();
    // The rowid of the row the hook is judging in a pass; 0 otherwise.
    qint64 CandidateRowid() const { return m_candidate ? m_candidate->rowid : 0; }

    // ---- editing ------------------------------------------------------------
    void Edit();
    void Insert();
    void Append();
    // Nothing in browse state; bound editors write first, then before-post;
    // a post called from before-post writes at once (once). A changed key
    // re-sorts; a row the filter then hides gives way to the next shown one.
    // Before-post and the write run in one transaction: what the hook wrote
    // is undone when it throws or cancels, or when the write fails.
    // After-post runs once the transaction is committed. A commit the
    // database refuses leaves the record being edited as it was typed, and
    // goes to OnPostError like a refused write.
    void Post();
    void Cancel();
    // Deletes the current record; the next one (else the previous) shows.
    // Before-delete and the delete run in one transaction; after-scroll runs
    // once it is committed.
    void Delete();
    // Posts a modified record, cancels an unmodified one.
    void CheckBrowseMode();
    // For a caller that posts the record inside a transaction of its own:
    // the record as typed before the post, and, once that transaction's
    // commit was refused and rolled back, the same record being edited again.
    struct Typed;
    Typed TypedRecord() const;
    void PutBackTyped(Typed typed);
    bool Modified() const { return m_modified; }

    std::function<void(Dataset &)> BeforePost, AfterPost, BeforeDelete, BeforeInsert, AfterScroll;
    // Before another record may become current (a move, a seek, going to a
    // bookmark, an insert, the filter run again), with the record that is
    // current still there to post; a hook that throws stops the move. Not
    // run for a move that stays on the record, nor for a delete.
    std::function<void(Dataset &)> BeforeScroll;
    // A post that failed (the hook threw or the write was refused), once its
    // transaction is rolled back; the failure passes on afterwards.
    std::function<void(Dataset &)> AfterPostFailed;
    // The same for a delete that failed.
    std::function<void(Dataset &)> AfterDeleteFailed;
    // A post the database refuses; Abort leaves the record in edit and
    // abandons silently, Fail passes the error on.
    std::function<void(Dataset &, const DbError &, PostErrorAction &)> OnPostError;

    // ---- observers ----------------------------------------------------------
    void DisableControls();
    // At 0 the observers get one data change.
    void EnableControls();
    bool ControlsDisabled() const { return m_disabled > 0; }
    int DisableCount() const { return m_disabled; }
    void addObserver(DatasetObserver *observer);
    void removeObserver(DatasetObserver *observer);

    // ---- fields -------------------------------------------------------------
    int FieldCount() const { return int(m_fields.size()); }
    Field &Fields(int index) { return *m_fields.at(size_t(index)); }
    Field *FindField(const QString &name);
    Field &FieldByName(const QString &name);
    const QList<FieldInfo> &fieldInfos() const { return m_infos; }

    // The values of a shown row for views, without moving (memos cut short).
    QVariantList rowValues(int visibleRow) const;

    // ---- connection bookkeeping (Database) ----------------------------------
    void resync();
    void connectionClosing();
    void databaseGone() { m_db = nullptr; }

    QVariant fieldValue(int index) const override;
    void setFieldValue(int index, const QVariant &value) override;

private:
    struct Record {
        qint64 rowid = 0;
        QVariantList values;
        std::vector<char> loaded, assigned;
    };
public:
    struct Typed {
        DatasetState state = DatasetState::Browse;
        Record record;
    };

private:
    struct KeyColumn {
        int field;
        bool noCase;
        bool desc;
    };
    struct KeyValue {
        int cls = 0; // 0 null, 1 number, 2 text, 3 blob
        double number = 0;
        QByteArray bytes;
    };
    struct Candidate {
        Statement *stmt = nullptr;
        std::vector<int> columnOf; // field -> statement column, -1 when absent
        qint64 rowid = 0;
        QVariantList values;
        std::vector<char> loaded;
    };

    Database &db() const;
    void checkActive() const;
    const std::vector<qint64> &rows() const { return m_filtered ? m_visible : m_keys; }
    int posOf(qint64 rowid) const;
    void invalidatePositions() { m_rowPosValid = false; }
    void loadFields();
    void setupIndex();
    void loadKeys(bool runFilter);
    bool runHook();
    Record blankRecord() const;
    void moveTo(int pos);
    void readRecord(qint64 rowid);
    QVariant fetchColumn(int field, qint64 rowid) const;
    void scrolled();
    // Runs BeforeScroll when a record other than the current one is to come.
    void beforeScroll(qint64 coming);
    void notify(DatasetChange change);
    void writeRecord(bool runAfterPost);
    // The commit of a written record was refused and rolled back: the record
    // is being edited again as it was typed (shown again when the rollback
    // moved away from it).
    void keepTyped(DatasetState state, Record typed);
    // Gives the row's new position in the list.
    int placeRow(std::vector<qint64> &list, qint64 rowid, const std::vector<KeyValue> &key) const;
    int lowerBound(const std::vector<qint64> &list, const std::vector<KeyValue> &key, int columns,
                   qint64 rowid, bool upper) const;
    int compareWithKey(qint64 probe, const std::vector<KeyValue> &key, int columns) const;
    std::vector<KeyValue> keyOf(qint64 rowid) const;
    KeyValue keyValueFor(int column, const QVariant &v) const;
    int positionAfterLoss(const std::vector<qint64> &oldRows, int oldPos) const;
    void finishFilterChange(qint64 current, int oldKeyIndex);
    void finalizeStatements();

    Database *m_db;
    QString m_table;
    QString m_indexName;
    std::vector<KeyColumn> m_key;
    QString m_orderBy, m_orderByDesc;

    bool m_active = false;
    DatasetState m_state = DatasetState::Inactive;
    std::vector<qint64> m_keys, m_visible;
    bool m_filtered = false;
    mutable QHash<qint64, int> m_rowPos;
    mutable bool m_rowPosValid = false;
    int m_pos = -1;
    bool m_bof = true, m_eof = true;

    mutable Record m_rec;
    Record m_saved;
    qint64 m_insertReturn = 0;
    bool m_modified = false;
    bool m_inBeforePost = false;
    bool m_writtenInHook = false;
    int m_disabled = 0;

    QList<FieldInfo> m_infos;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, int> m_names; // folded name -> field
    std::vector<int> m_smallFields;
    QList<DatasetObserver *> m_observers;
    mutable Candidate *m_candidate = nullptr;

    qint64 seekBySql(SeekMode mode, const std::vector<KeyValue> &key, Record &found);
    QString smallColumns() const;
    Record recordFrom(const Statement *s, int first, qint64 rowid) const;
    mutable std::map<int, Statement> m_seek; // by mode * 16 + key columns
    mutable Statement m_readSmall, m_readKey, m_readRow;
    mutable std::vector<Statement> m_readColumn;
    Statement &writeStatement(const QString &sql);
    std::map<QString, Statement> m_writes; // by SQL text
    Statement m_writeOnce;
};
