// The copy of a run, transfer by transfer, and the digests of the bytes as they pass. The digests
// cost more than the copy (SHA-256 twice over every byte, a piece's and the whole file's), so a
// thread of their own computes them from the transfers already written while the next ones are
// read and written: the source is still read once, and on two cores the wait is about the copy's.
#include "Run.h"

#include "core/Crc32.h"
#include "core/UiHelpers.h"

#include <stdlib.h>
#include <string.h>

// The transfers go through a ring of slots, each of SlotTransfers transfers: the digest thread
// takes a slot once it is full, and hands it back once digested. Handed over a slot at a time
// (about 1 MiB), the thread costs the copy a few calls to the system per megabyte.
enum { SlotCount = 4, SlotTransfers = 16 };

struct Transfer {
    DWORD count;
    int piece;
    int lastOfPiece;
};

struct Slot {
    unsigned char *bytes;
    DWORD used;
    int transfers;
    Transfer transfer[SlotTransfers];
};

static struct {
    int begun;
    int digests;       // DigestPieces, DigestWhole, DigestCrc, or none
    unsigned char *memory;
    Slot slots[SlotCount];
    int filling;       // the slot the run fills
    int holding;       // 1 while the run holds that slot (not while it waits for it)
    int digesting;     // the slot the thread digests next
    HANDLE thread;     // NULL: the digests are computed on the run's own thread
    HANDLE full;       // wakes the thread: once for each slot handed over, then once to end it
    HANDLE empty;      // counts the slots handed back
    volatile LONG handed, digested; // slots
    Sha256 piece, whole;
    uint32_t crc;
    volatile LONG piecesDone;
} Run;

static unsigned char PieceDigests[MaxPieces][Sha256Size];
static unsigned char FileDigest[Sha256Size];
static uint32_t FileCrc = 0;

static void DigestSlot(Slot *slot)
{
    const unsigned char *bytes = slot->bytes;
    for (int i = 0; i < slot->transfers; i++) {
        const Transfer *t = &slot->transfer[i];
        if ((Run.digests & DigestPieces) && (Run.digests & DigestWhole))
            Sha256AddToBoth(&Run.piece, &Run.whole, bytes, t->count);
        else if (Run.digests & DigestPieces)
            Sha256Add(&Run.piece, bytes, t->count);
        else if (Run.digests & DigestWhole)
            Sha256Add(&Run.whole, bytes, t->count);
        if (Run.digests & DigestCrc)
            Run.crc = Crc32Add(Run.crc, bytes, t->count);
        bytes += t->count;
        if (t->lastOfPiece && t->piece >= 1 && t->piece <= MaxPieces) {
            if (Run.digests & DigestPieces)
                Sha256End(&Run.piece, PieceDigests[t->piece - 1]);
            Sha256Begin(&Run.piece, Run.piece.engine);
            InterlockedExchange(&Run.piecesDone, t->piece); // after its digest is written
        }
    }
    slot->used = 0;
    slot->transfers = 0;
}

// Digests the slots in the order they are handed over; a wake with none waiting ends it.
static DWORD WINAPI DigestThread(LPVOID unused)
{
    (void)unused;
    for (;;) {
        WaitForSingleObject(Run.full, INFINITE);
        if (InterlockedCompareExchange(&Run.digested, 0, 0) == InterlockedCompareExchange(&Run.handed, 0, 0))
            return 0;
        DigestSlot(&Run.slots[Run.digesting]);
        Run.digesting = (Run.digesting + 1) % SlotCount;
        InterlockedIncrement(&Run.digested);
        ReleaseSemaphore(Run.empty, 1, NULL);
    }
}

// The slot being filled goes to the digests; unless it is the last, the run goes on in the next
// one once the thread has handed that back, taking the window's messages while it waits. Those
// may end the run (the session ends): the transfers are then over.
static void HandOverSlot(int last)
{
    Slot *slot = &Run.slots[Run.filling];
    if (Run.thread == NULL) {
        DigestSlot(slot);
        return;
    }
    InterlockedIncrement(&Run.handed);
    Run.holding = 0;
    ReleaseSemaphore(Run.full, 1, NULL);
    if (last)
        return;
    while (Run.begun && WaitForSingleObject(Run.empty, 20) == WAIT_TIMEOUT)
        RunGoesOn();
    if (!Run.begun)
        return;
    Run.filling = (Run.filling + 1) % SlotCount;
    Run.holding = 1;
}

int BeginTransfers(int digests)
{
    EndTransfers();
    memset(&Run, 0, sizeof Run);
    Run.digests = digests;
    size_t slotSize = (size_t)SplitBufferSize * (digests != 0 ? SlotTransfers : 1);
    Run.memory = (unsigned char *)malloc(slotSize * (digests != 0 ? SlotCount : 1));
    if (Run.memory == NULL)
        return 0;
    for (int i = 0; i < SlotCount; i++)
        Run.slots[i].bytes = Run.memory + (digests != 0 ? i * slotSize : 0);
    memset(PieceDigests, 0, sizeof PieceDigests);
    Sha256Engine engine = Sha256BestEngine();
    Sha256Begin(&Run.piece, engine);
    Sha256Begin(&Run.whole, engine);
    Run.begun = 1;
    Run.holding = 1;
    if (digests == 0)
        return 1;
    Run.full = CreateSemaphoreA(NULL, 0, SlotCount + 1, NULL);
    Run.empty = CreateSemaphoreA(NULL, SlotCount - 1, SlotCount, NULL);
    if (Run.full != NULL && Run.empty != NULL)
        Run.thread = CreateThread(NULL, 0, DigestThread, NULL, 0, NULL);
    return 1;
}

MoveResult MoveBytes(HANDLE from, HANDLE to, int64_t count, int piece, int lastOfPiece)
{
    // Transfers of the chunk size, the smaller of the buffer and the count, and one of what is left.
    DWORD chunk = count < SplitBufferSize ? (DWORD)count : (DWORD)SplitBufferSize;
    do {
        DWORD n = count < chunk ? (DWORD)count : chunk;
        Slot *slot = &Run.slots[Run.filling];
        if (Run.digests != 0 && slot->transfers == SlotTransfers) {
            HandOverSlot(0);
            if (!Run.begun)
                return MoveCancelled;
            slot = &Run.slots[Run.filling];
        }
        unsigned char *bytes = slot->bytes + slot->used;
        DWORD done = 0;
        if (n > 0 && (!ReadFile(from, bytes, n, &done, NULL) || done != n))
            return ReadFailed;
        // A full disk may accept fewer bytes than asked and still report success.
        done = 0;
        if (n > 0 && (!WriteFile(to, bytes, n, &done, NULL) || done != n))
            return WriteFailed;
        count -= n;
        if (Run.digests != 0) {
            Transfer t = {n, piece, lastOfPiece && count == 0};
            slot->transfer[slot->transfers++] = t;
            slot->used += n;
        }
        if (!RunGoesOn())
            return MoveCancelled;
    } while (count > 0);
    return Moved;
}

void EndTransfers(void)
{
    if (!Run.begun)
        return;
    if (Run.digests != 0 && Run.holding)
        HandOverSlot(1);
    Run.begun = 0;
    if (Run.thread != NULL) {
        ReleaseSemaphore(Run.full, 1, NULL); // with every slot digested, the thread ends
        WaitForSingleObject(Run.thread, INFINITE);
    }
    if (Run.digests != 0) {
        Sha256End(&Run.whole, FileDigest);
        FileCrc = Run.crc;
    }
    if (Run.thread != NULL)
        CloseHandle(Run.thread);
    if (Run.full != NULL)
        CloseHandle(Run.full);
    if (Run.empty != NULL)
        CloseHandle(Run.empty);
    free(Run.memory);
    Run.thread = Run.full = Run.empty = NULL;
    Run.memory = NULL;
}

int PiecesDigested(void) { return (int)InterlockedCompareExchange(&Run.piecesDone, 0, 0); }

const unsigned char *PieceDigest(int piece) { return PieceDigests[piece >= 1 && piece <= MaxPieces ? piece - 1 : 0]; }

const unsigned char *WholeDigest(void) { return FileDigest; }

uint32_t WholeCrc(void) { return FileCrc; }
