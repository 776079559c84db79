<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it_IT">
<context>
    <name>Notice</name>
    <message>
        <source>Input switched</source>
        <extracomment>Notice title: the default microphone (input device) changed.</extracomment>
        <translation>Ingresso cambiato</translation>
    </message>
    <message>
        <source>Output switched</source>
        <translation>Uscita cambiata</translation>
    </message>
    <message>
        <source>%1 connected — now active</source>
        <extracomment>%1 is the name of the device just plugged in, which is now the default.</extracomment>
        <translation>%1 connesso: ora attivo</translation>
    </message>
    <message>
        <source>%1 disconnected — %2 is now active</source>
        <extracomment>%1 is the device that went away, %2 the device that is now the default.</extracomment>
        <translation>%1 disconnesso: ora è attivo %2</translation>
    </message>
    <message>
        <source>Lid closed — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Coperchio chiuso: ora è attivo %1</translation>
    </message>
    <message>
        <source>Lid open — %1 is now active</source>
        <extracomment>The laptop&apos;s lid; %1 is the device that is now the default.</extracomment>
        <translation>Coperchio aperto: ora è attivo %1</translation>
    </message>
    <message>
        <source>%1 is now active</source>
        <extracomment>%1 is the device that is now the default.</extracomment>
        <translation>Ora è attivo %1</translation>
    </message>
    <message>
        <source>Device connected</source>
        <extracomment>Notice title; the body is the device&apos;s name.</extracomment>
        <translation>Dispositivo connesso</translation>
    </message>
    <message>
        <source>Device removed</source>
        <translation>Dispositivo rimosso</translation>
    </message>
    <message>
        <source>Call audio</source>
        <extracomment>Notice title: a call&apos;s sound goes to a device of its own.</extracomment>
        <translation>Audio della chiamata</translation>
    </message>
    <message>
        <source>%1 is used for this call</source>
        <extracomment>%1 is the device the call uses.</extracomment>
        <translation>%1 viene usato per questa chiamata</translation>
    </message>
</context>
<context>
    <name>vantorelle::ActivePill</name>
    <message>
        <source>Active</source>
        <extracomment>Status of the device in use now (a badge on its card).</extracomment>
        <translation>Attivo</translation>
    </message>
</context>
<context>
    <name>vantorelle::ArrowButton</name>
    <message>
        <source>Move up</source>
        <extracomment>Moves the device one rank up in the priority list (button and menu item).</extracomment>
        <translation>Sposta su</translation>
    </message>
    <message>
        <source>Move down</source>
        <translation>Sposta giù</translation>
    </message>
    <message>
        <source>Unavailable: already at the top</source>
        <translation>Non disponibile: già in cima</translation>
    </message>
    <message>
        <source>Unavailable: already at the bottom</source>
        <translation>Non disponibile: già in fondo</translation>
    </message>
</context>
<context>
    <name>vantorelle::BluezConnector</name>
    <message>
        <source>the headset is off or out of range</source>
        <translation>le cuffie sono spente o fuori portata</translation>
    </message>
    <message>
        <source>the headset offers no sound connection</source>
        <translation>le cuffie non offrono una connessione audio</translation>
    </message>
    <message>
        <source>Bluetooth no longer knows this headset</source>
        <translation>il Bluetooth non conosce più queste cuffie</translation>
    </message>
    <message>
        <source>Bluetooth is not running</source>
        <translation>il Bluetooth non è attivo</translation>
    </message>
    <message>
        <source>Bluetooth is not ready yet</source>
        <translation>il Bluetooth non è ancora pronto</translation>
    </message>
    <message>
        <source>the headset is already being connected</source>
        <translation>le cuffie sono già in fase di connessione</translation>
    </message>
    <message>
        <source>the headset refused the connection</source>
        <translation>le cuffie hanno rifiutato la connessione</translation>
    </message>
    <message>
        <source>Could not connect: %1</source>
        <extracomment>Under a Bluetooth device&apos;s name; %1 is the reason, which starts in lower case.</extracomment>
        <translation>Impossibile connettersi: %1</translation>
    </message>
</context>
<context>
    <name>vantorelle::CallsApplicationsCard</name>
    <message>
        <source>Applications appear here once they record sound.</source>
        <translation>Le applicazioni compaiono qui appena registrano audio.</translation>
    </message>
    <message>
        <source>Its sound is treated as a call while it records and plays</source>
        <translation>Il suo audio è trattato come una chiamata mentre registra e riproduce</translation>
    </message>
</context>
<context>
    <name>vantorelle::DeviceCard</name>
    <message>
        <source>Never chosen automatically</source>
        <translation>Mai scelto automaticamente</translation>
    </message>
    <message>
        <source>Sits out when the lid is closed</source>
        <translation>Si ritira a coperchio chiuso</translation>
    </message>
    <message>
        <source>Keeps its seat for when it returns</source>
        <extracomment>Of a device that is not connected: it keeps its rank until it comes back.</extracomment>
        <translation>Mantiene il suo posto per quando torna</translation>
    </message>
    <message>
        <source>Takes over if the active device disconnects</source>
        <translation>Subentra se il dispositivo attivo si disconnette</translation>
    </message>
    <message>
        <source>The understudy</source>
        <extracomment>A connected device that waits behind others, ready to step in (theatre sense).</extracomment>
        <translation>Il sostituto</translation>
    </message>
    <message>
        <source>Unavailable — lid closed</source>
        <translation>Non disponibile: coperchio chiuso</translation>
    </message>
    <message>
        <source>Not connected</source>
        <translation>Non connesso</translation>
    </message>
    <message>
        <source>Next in line</source>
        <extracomment>Status: the device that takes over when the active one goes.</extracomment>
        <translation>Prossimo in lista</translation>
    </message>
    <message>
        <source>Available</source>
        <translation>Disponibile</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>Rinomina…</translation>
    </message>
    <message>
        <source>Never switch to this device</source>
        <translation>Non passare mai a questo dispositivo</translation>
    </message>
    <message>
        <source>Allow switching to this device</source>
        <translation>Consenti il passaggio a questo dispositivo</translation>
    </message>
    <message>
        <source>Remove from list</source>
        <translation>Rimuovi dall’elenco</translation>
    </message>
    <message>
        <source>Connect</source>
        <extracomment>Menu item: connect a paired Bluetooth device.</extracomment>
        <translation>Connetti</translation>
    </message>
    <message>
        <source>, lid closed</source>
        <translation>, coperchio chiuso</translation>
    </message>
    <message>
        <source>Rank %1 of %2, %3</source>
        <extracomment>Read by screen readers: &quot;Rank 1 of 5, active&quot;; %3 is the card&apos;s status, lowercased.</extracomment>
        <translation>Posizione %1 di %2, %3</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Connecting…</source>
        <translation>Connessione…</translation>
    </message>
</context>
<context>
    <name>vantorelle::DevicePaneView</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivi di ingresso</translation>
    </message>
    <message>
        <source>The highest-ranked microphone that is connected becomes active. Reorder with the arrows.</source>
        <translation>Diventa attivo il microfono connesso con la posizione più alta. Riordina con le frecce.</translation>
    </message>
    <message>
        <source>No input devices yet.</source>
        <translation>Ancora nessun dispositivo di ingresso.</translation>
    </message>
    <message>
        <source>Auto-switch input</source>
        <translation>Cambia ingresso automaticamente</translation>
    </message>
    <message>
        <source>If the laptop&apos;s lid is closed, the built-in microphone becomes unavailable and the next device in the stack becomes active.</source>
        <translation>Se il coperchio del portatile è chiuso, il microfono integrato non è disponibile e diventa attivo il dispositivo successivo della pila.</translation>
    </message>
    <message>
        <source>Calls use the first available microphone below; everything else records from the default</source>
        <translation>Le chiamate usano il primo microfono disponibile qui sotto; tutto il resto registra dal predefinito</translation>
    </message>
    <message>
        <source>No input devices for calls yet.</source>
        <translation>Ancora nessun dispositivo di ingresso per le chiamate.</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivi di uscita</translation>
    </message>
    <message>
        <source>Sound plays through the highest-ranked device that is connected. Reorder with the arrows.</source>
        <translation>L’audio esce dal dispositivo connesso con la posizione più alta. Riordina con le frecce.</translation>
    </message>
    <message>
        <source>No output devices yet.</source>
        <translation>Ancora nessun dispositivo di uscita.</translation>
    </message>
    <message>
        <source>Auto-switch output</source>
        <translation>Cambia uscita automaticamente</translation>
    </message>
    <message>
        <source>When the active device disconnects, sound falls back to the next connected seat instantly — no clicks in the system&apos;s sound settings.</source>
        <extracomment>&quot;Seat&quot;: a place in the ranked list of devices.</extracomment>
        <translation>Quando il dispositivo attivo si disconnette, l’audio passa subito al posto connesso successivo, senza clic nelle impostazioni audio del sistema.</translation>
    </message>
    <message>
        <source>Calls play through the first available device below; all other sound stays on the default</source>
        <translation>Le chiamate passano dal primo dispositivo disponibile qui sotto; tutto l’altro audio resta sul predefinito</translation>
    </message>
    <message>
        <source>No output devices for calls yet.</source>
        <translation>Ancora nessun dispositivo di uscita per le chiamate.</translation>
    </message>
    <message>
        <source>Keeps the highest-ranked usable device active</source>
        <translation>Mantiene attivo il dispositivo utilizzabile con la posizione più alta</translation>
    </message>
    <message>
        <source>Use a different device for calls</source>
        <translation>Usa un altro dispositivo per le chiamate</translation>
    </message>
    <message>
        <source>Priority list</source>
        <translation>Elenco di priorità</translation>
    </message>
    <message>
        <source>For calls</source>
        <translation>Per le chiamate</translation>
    </message>
    <message>
        <source>Priority list for calls</source>
        <translation>Elenco di priorità per le chiamate</translation>
    </message>
</context>
<context>
    <name>vantorelle::MeterBar</name>
    <message>
        <source>Input level</source>
        <translation>Livello di ingresso</translation>
    </message>
</context>
<context>
    <name>vantorelle::NotificationPreview</name>
    <message>
        <source>Notification preview</source>
        <translation>Anteprima della notifica</translation>
    </message>
</context>
<context>
    <name>vantorelle::Pane</name>
    <message>
        <source>Input Devices</source>
        <translation>Dispositivi di ingresso</translation>
    </message>
    <message>
        <source>Output Devices</source>
        <translation>Dispositivi di uscita</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
</context>
<context>
    <name>vantorelle::PortalShortcuts</name>
    <message>
        <source>Next output</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next output device the default.</extracomment>
        <translation>Uscita successiva</translation>
    </message>
    <message>
        <source>Next input</source>
        <extracomment>A global shortcut&apos;s description in the desktop&apos;s settings: make the next input device the default.</extracomment>
        <translation>Ingresso successivo</translation>
    </message>
</context>
<context>
    <name>vantorelle::SettingsPaneView</name>
    <message>
        <source>Could not change the login item. Install Vantorelle and start the installed copy for this.</source>
        <translation>Impossibile modificare l’avvio automatico. Installa Vantorelle e avvia la copia installata per farlo.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Notifications and how Vantorelle runs.</source>
        <translation>Le notifiche e come funziona Vantorelle.</translation>
    </message>
    <message>
        <source>Notifications</source>
        <translation>Notifiche</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Generale</translation>
    </message>
    <message>
        <source>Calls applications</source>
        <translation>Applicazioni per chiamate</translation>
    </message>
    <message>
        <source>Input device switched</source>
        <translation>Dispositivo di ingresso cambiato</translation>
    </message>
    <message>
        <source>Output device switched</source>
        <translation>Dispositivo di uscita cambiato</translation>
    </message>
    <message>
        <source>When a higher-ranked microphone takes over or the current one disconnects</source>
        <translation>Quando subentra un microfono con posizione più alta o quello attuale si disconnette</translation>
    </message>
    <message>
        <source>When sound starts playing through a different device</source>
        <translation>Quando l’audio inizia a uscire da un altro dispositivo</translation>
    </message>
    <message>
        <source>Device connected or removed</source>
        <translation>Dispositivo connesso o rimosso</translation>
    </message>
    <message>
        <source>When any audio device appears or disappears, even if nothing switches</source>
        <translation>Quando un dispositivo audio compare o scompare, anche se non cambia nulla</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>Riproduci suono</translation>
    </message>
    <message>
        <source>A soft chime alongside each notification</source>
        <translation>Un leggero rintocco con ogni notifica</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Avvia all’accesso</translation>
    </message>
    <message>
        <source>Starts Vantorelle in the background when you sign in</source>
        <translation>Avvia Vantorelle in background quando accedi</translation>
    </message>
    <message>
        <source>Could not save the settings. Changes last until Vantorelle quits.</source>
        <translation>Impossibile salvare le impostazioni. Le modifiche restano finché Vantorelle non viene chiuso.</translation>
    </message>
    <message>
        <source>While a checked application both records from a microphone and plays, all of its sound is treated as a call, even when it does not say so itself.</source>
        <translation>Mentre un’applicazione selezionata registra da un microfono e riproduce audio, tutto il suo audio è trattato come una chiamata, anche se non lo dichiara.</translation>
    </message>
    <message>
        <source>Any application in a call</source>
        <translation>Qualsiasi applicazione in chiamata</translation>
    </message>
    <message>
        <source>Treat every application that records from a microphone and plays at once as in a call</source>
        <translation>Considera in chiamata ogni applicazione che registra da un microfono e riproduce audio insieme</translation>
    </message>
</context>
<context>
    <name>vantorelle::SidebarView</name>
    <message>
        <source>Auto device switching</source>
        <translation>Cambio automatico del dispositivo</translation>
    </message>
    <message>
        <source>Panes</source>
        <translation>Riquadri</translation>
    </message>
</context>
<context>
    <name>vantorelle::TrayMenu</name>
    <message>
        <source>Output</source>
        <extracomment>Tray menu section heading over the output devices (as in the desktop&apos;s sound settings).</extracomment>
        <translation>Uscita</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Ingresso</translation>
    </message>
    <message>
        <source>Open Vantorelle</source>
        <translation>Apri Vantorelle</translation>
    </message>
    <message>
        <source>Quit Vantorelle</source>
        <translation>Esci da Vantorelle</translation>
    </message>
    <message>
        <source>%1 (never automatic)</source>
        <extracomment>A device in the tray menu that the rule never switches to; it can still be picked here.</extracomment>
        <translation>%1 (mai automatico)</translation>
    </message>
</context>
</TS>
