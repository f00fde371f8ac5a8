// What a split and a join share, below both: the record of what the running one has made (so that
// a cancel takes it all away again), the copy of bytes from one file to another, and the digests
// of the bytes as they pass, computed on a thread of their own.
#pragma once

#include "core/AppState.h"
#include "core/Sha256.h"

#include <stdio.h>

// What the running split or join has made. Only what it created is noted (pieces and rebuilt files
// are only ever created new), so nothing that was there before, the source above all, is touched.
struct MadeByRun {
    int pieces;             // BaseName.001 ... created so far, in the working folder
    HANDLE piece;           // the piece (or rebuilt file) being written, or INVALID_HANDLE_VALUE
    FILE *text;             // the checksum file, batch file or log being written, or NULL
    int files;              // how many of fileNames are begun
    char fileNames[3][PathCapacity]; // other files it made, in the working folder: text files, a rebuilt file
    int folders;            // how many of folderPaths this run created
    char folderPaths[2][PathCapacity]; // the output folder and the sub-folder, whole paths, outer first
};
extern MadeByRun Made;

// A new run: nothing made yet, and not cancelled.
void ForgetMade(void);
// A folder the run has just created, by its name relative to the working folder.
void NoteMadeFolder(const char *name);
// A file the run has just created and writes by handle (a join's rebuilt file, under its
// temporary name); it goes when the run is cancelled.
void NoteMadeFile(HANDLE file, const char *name);
// A text file just opened for writing under name; CloseMadeText closes it (1 when every byte
// reached the disk).
void NoteMadeText(FILE *text, const char *name);
int CloseMadeText(void);
// Closes the piece being written; 0 when the system could not close it (a full disk).
int CloseMadePiece(void);

// The run has been cancelled: closes what it has open, deletes the pieces and files it made,
// removes the folders it created when they are empty, and makes the source's folder the working
// folder again. Safe to call again: it forgets what it has taken away.
void UndoRun(void);

// Enters the output folder, offering to create it only when nothing of that name is there.
// OutputRefused leaves the message to show (caption "Error") in MessageText: the caller closes
// what it holds first. OutputDeclined: the user answered No, and nothing is to be shown.
enum OutputFolder { OutputEntered, OutputRefused, OutputDeclined };
OutputFolder EnterOutputFolder(void);

// The digests a run computes of the bytes it moves: each piece's SHA-256, the whole file's, and
// the whole file's CRC-32 (as zip computes it), any of them.
enum { DigestPieces = 1, DigestWhole = 2, DigestCrc = 4 };

// A run moves its bytes in transfers of at most SplitBufferSize (65,535) bytes through the buffers
// that RunBuffer hands out; the digests, when asked for, are computed from those buffers on a
// thread of their own while the next transfers go on (on the calling thread when no thread can be
// made). 1 when set up; 0 when memory ran out.
int BeginTransfers(int digests);
// Moves count bytes from one open file to the other as part of piece number piece (1-based);
// lastOfPiece ends that piece's digest. The window's messages are taken between transfers.
enum MoveResult { Moved, ReadFailed, WriteFailed, MoveCancelled };
MoveResult MoveBytes(HANDLE from, HANDLE to, int64_t count, int piece, int lastOfPiece);
// Waits for the digests of everything moved, and releases the buffers. Safe to call again.
void EndTransfers(void);
// How many pieces have their digests so far (they are done in order); after EndTransfers, all.
int PiecesDigested(void);
// A piece's digest (pieces numbered from 1) once PiecesDigested counts it; the whole file's
// digests after EndTransfers.
const unsigned char *PieceDigest(int piece);
const unsigned char *WholeDigest(void);
uint32_t WholeCrc(void);

// The set of pieces a name belongs to (NAME.001, NAME.002 ... in its folder), and what the record
// beside them says of the file they make: the most telling of Morvane's checksum file (each
// piece's SHA-256 and the whole file's), a file manager's .crc record (the file's size and
// CRC-32), Morvane's log (the file's size and each piece's), Morvane's batch file (the name).
enum JoinRecord { NoRecord, ChecksumRecord, CrcRecord, LogRecord, BatchRecord };
struct PieceSet {
    int pieces;                     // NAME.001 ... make the file: those the record lists, else those there
    int missing;                    // the first of them that is not there, or 0
    int leftOut;                    // the first piece past them that is there all the same (left alone), or 0
    int64_t size;                   // the rebuilt file's size: the record's, else the pieces'
    char name[PathCapacity];        // the rebuilt file's name: the record's, else NAME
    JoinRecord record;
    char recordName[PathCapacity];  // the record's file, as the pieces' names are given
    int64_t recordSize;             // the file's size by the record (a .crc, a log), or 0
    uint32_t crc32;                 // the file's CRC-32 by a .crc record
    int64_t pieceSizes[MaxPieces];  // each piece's size by the log
};
extern PieceSet Pieces;

// FileName (parsed) names a piece of a set that makes a file: a set that begins with NAME.001 and
// has two pieces or more, or one that a record describes. 1 with Pieces filled in; 0 otherwise.
int FindPieceSet(void);
// Names of the set's files, in the folder FileName gives: its record (by suffix) and its pieces.
void ComposeSetName(char *name, size_t capacity, const char *suffix);
void ComposeSetPiece(char *name, size_t capacity, int piece);
// A piece's size on disk, or -1 when it is not there.
int64_t SetPieceSize(int piece);
// The SHA-256 the checksum file gives a piece (numbered from 1), and the whole file.
const unsigned char *ExpectedPieceDigest(int piece);
const unsigned char *ExpectedWholeDigest(void);
